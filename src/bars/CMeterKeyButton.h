// One key of the drawn meter. Selected by its control id, it places itself on the meter
// picture, draws its image, and sends the key's press command every time it is drawn held
// down, so moving the pointer out of a held key and back in presses the meter key again.
#pragma once

#include <QAbstractButton>
#include <QCursor>
#include <QPixmap>
#include <optional>

#include "link/MeterCommand.h"

namespace qf {

class CMeterKeyButton : public QAbstractButton {
    Q_OBJECT
public:
    // An id outside the key table gives a key that draws and sends nothing.
    CMeterKeyButton(int controlId, QWidget* parent);

    int ControlId() const { return m_nControlId; }
    std::optional<MeterKey> Key() const { return m_key; }

    QSize sizeHint() const override;

signals:
    // The key's press command, sent whenever the key is drawn pressed.
    void commandReady(const qf::CommandPacket& packet);
    // The second click of a double click. It does not press the key again.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPoint Place() const;
    void MoveToPlace();

    int m_nControlId;
    std::optional<MeterKey> m_key;
    QPixmap m_image;
    QCursor m_cursor;
};

}  // namespace qf

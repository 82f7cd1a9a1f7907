// An up-down button pair beside an edit. It holds no value of its own: it reports signed
// step counts, one per click and repeated while an arrow is held, and the owner applies
// and clamps them.
#pragma once

#include <QWidget>

class QToolButton;

namespace qf {

class CSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit CSpinButton(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

signals:
    void stepped(int steps);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

}  // namespace qf

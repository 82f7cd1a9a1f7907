// The strip under the real-time graph that carries its horizontal scroll bar. It keeps no
// scroll state: it reports every scroll action and the view answers with SetPosition, so
// the traces and the thumb follow the view's offset.
#pragma once

#include <QWidget>

class QScrollBar;

namespace qf {

class CScrollBarBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int ID_SCROLL = 1089;

    // The scroll bar starts disabled, with an empty range.
    explicit CScrollBarBar(QWidget* parent = nullptr);

    // None of these reports back through scrolled().
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    void SetEnabled(bool enabled);

    QScrollBar* ScrollBar() const { return m_scroll; }
    QSize sizeHint() const override;

signals:
    // A scroll action: thumbTracking while the thumb is dragged, with the position it is
    // dragged to. Arrow, page and wheel actions come with thumbTracking false and leave the
    // thumb where it was.
    void scrolled(bool thumbTracking, int position);

private:
    void OnAction(int action);

    QScrollBar* m_scroll = nullptr;
};

}  // namespace qf

// The strip under the real-time graph that carries its horizontal scroll bar. It keeps no
// scroll state: it reports every scroll action and the view answers with SetPosition, so
// the traces and the thumb follow the view's offset.
#pragma once

#include <QWidget>

#include "graph/ScrollCode.h"

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
    // Samples one click in the track moves; also the thumb's share of the track.
    void SetPageStep(int samples);
    // Nothing to scroll: disabled, empty range, no thumb left standing anywhere.
    void Reset();

    QScrollBar* ScrollBar() const { return m_scroll; }
    QSize sizeHint() const override;

signals:
    // A scroll action; with ThumbTrack the position the thumb is dragged to. Anything not
    // answered leaves the thumb where it was.
    void scrolled(qf::ScrollCode code, int position);

protected:
    // The scroll bar spans the strip as its layout spans the layout's strip.
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnAction(int action);

    QScrollBar* m_scroll = nullptr;
};

// What a scroll bar action is to a zoomed graph.
ScrollCode ScrollCodeOf(const QScrollBar& bar, int action);

}  // namespace qf

#include "bars/CScrollBarBar.h"

#include <QScrollBar>
#include <algorithm>

#include "ui/DialogUnits.h"

namespace qf {

namespace {

// Layout of the strip: 402 x 13 dialog units, the bar 394 x 10 at its top left.
constexpr int STRIP_WIDTH_DLU = 402;
constexpr int BAR_WIDTH_DLU = 394;
constexpr int BAR_HEIGHT_DLU = 10;

}  // namespace

CScrollBarBar::CScrollBarBar(QWidget* parent) : QWidget(parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(palette);
    setAutoFillBackground(true);

    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setGeometry(DLU_SYSTEM_10.Rect(0, 0, BAR_WIDTH_DLU, BAR_HEIGHT_DLU));
    Reset();
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CScrollBarBar::OnAction);
}

QSize CScrollBarBar::sizeHint() const {
    return DLU_SYSTEM_10.Size(STRIP_WIDTH_DLU, 13);
}

void CScrollBarBar::resizeEvent(QResizeEvent*) {
    const QSize margin = DLU_SYSTEM_10.Size(STRIP_WIDTH_DLU - BAR_WIDTH_DLU, 0);
    m_scroll->setGeometry(0, 0, std::max(0, width() - margin.width()),
                          DLU_SYSTEM_10.Size(0, BAR_HEIGHT_DLU).height());
}

void CScrollBarBar::SetRange(int minimum, int maximum) {
    m_scroll->setRange(minimum, maximum);
}

void CScrollBarBar::SetPosition(int position) {
    // Inside an action this also overrides the position the action was about to commit.
    m_scroll->setValue(position);
}

void CScrollBarBar::SetEnabled(bool enabled) {
    m_scroll->setEnabled(enabled);
}

void CScrollBarBar::SetPageStep(int samples) {
    m_scroll->setPageStep(std::max(1, samples));
}

void CScrollBarBar::Reset() {
    m_scroll->setEnabled(false);
    m_scroll->setRange(0, 0);
    m_scroll->setValue(0);
}

ScrollCode ScrollCodeOf(const QScrollBar& bar, int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollCode::LineLeft;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollCode::LineRight;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollCode::PageLeft;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollCode::PageRight;
        case QAbstractSlider::SliderMove:
            // Wheel turns arrive as slider moves too; only a held thumb is a drag.
            return bar.isSliderDown() ? ScrollCode::ThumbTrack : ScrollCode::Other;
        default:
            return ScrollCode::Other;
    }
}

void CScrollBarBar::OnAction(int action) {
    const ScrollCode code = ScrollCodeOf(*m_scroll, action);
    if (code != ScrollCode::ThumbTrack) {
        // The thumb moves only where the view puts it.
        m_scroll->setSliderPosition(m_scroll->value());
    }
    emit scrolled(code, m_scroll->sliderPosition());
}

}  // namespace qf

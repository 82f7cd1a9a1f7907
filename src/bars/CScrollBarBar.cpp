#include "bars/CScrollBarBar.h"

#include <QScrollBar>

#include "ui/DialogUnits.h"

namespace qf {

CScrollBarBar::CScrollBarBar(QWidget* parent) : QWidget(parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    setPalette(palette);
    setAutoFillBackground(true);

    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setGeometry(DLU_SYSTEM_10.Rect(0, 0, 394, 10));
    m_scroll->setRange(0, 0);
    m_scroll->setEnabled(false);
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CScrollBarBar::OnAction);
}

QSize CScrollBarBar::sizeHint() const {
    return DLU_SYSTEM_10.Size(402, 13);
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

void CScrollBarBar::OnAction(int action) {
    // Wheel turns arrive as slider moves too; only a held thumb is a drag.
    const bool tracking = action == QAbstractSlider::SliderMove && m_scroll->isSliderDown();
    if (!tracking) {
        // Arrows and pages do not move the traces, so the thumb stays put unless the view
        // says otherwise.
        m_scroll->setSliderPosition(m_scroll->value());
    }
    emit scrolled(tracking, m_scroll->sliderPosition());
}

}  // namespace qf

#include "view/CQFView.h"

#include <QPainter>
#include <ctime>

#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "store/CQFDoc.h"
#include "store/ConfigFile.h"
#include "store/QFConstants.h"
#include "store/Settings.h"
#include "view/PlotGeometry.h"

namespace qf {

namespace {

std::string FormatLocal(std::time_t t, const char* format) {
    std::tm parts{};
    if (localtime_r(&t, &parts) == nullptr) {
        return {};
    }
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, n);
}

const QColor STRIP_GREY(217, 218, 212);
const QColor GRID_GREY(170, 170, 170);

}  // namespace

CQFView::CQFView(CMainFrame& frame, CQFDoc& doc, const CConfigFile& config)
    : QWidget(&frame), m_frame(frame), m_doc(doc) {
    // The bars are children of the main window, above the view, created in this order.
    const Settings settings = LoadSettings(config);
    MainLinkState& state = frame.State();
    m_display.m_nYGain = settings.m_nYGain;
    m_display.m_nYOffset = settings.m_nYOffset;
    ApplyYAxisChoice(m_display, -1, -1);
    m_barRealTime = std::make_unique<CRealTimeBar>(m_display, &frame);
    m_barReadings = std::make_unique<CReadingsBar>(m_readingsLogic, state.m_bAlarmHi,
                                                   state.m_bAlarmLow, m_live.units, &frame);
    m_barReadings->LoadLimits(config);
    m_panelMeter = std::make_unique<CMeterPanel>(m_panelState, m_live.m_bLinkLost, &frame);
    m_barScroll = std::make_unique<CScrollBarBar>(&frame);
    m_barRealTime->setObjectName(QStringLiteral("realTimeBar"));
    m_barReadings->setObjectName(QStringLiteral("readingsBar"));
    m_panelMeter->setObjectName(QStringLiteral("meterPanel"));
    m_barScroll->setObjectName(QStringLiteral("scrollBarBar"));

    // Painted wholly from the graph's own surfaces; what it leaves is the main window's.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::ClickFocus);
    connect(&m_timerSample, &QTimer::timeout, this, &CQFView::OnSampleTick);
    connect(m_barRealTime.get(), &CRealTimeBar::viewUpdateRequested, this,
            qOverload<>(&QWidget::update));
    connect(m_barScroll.get(), &CScrollBarBar::scrolled, this, &CQFView::OnScrolled);
}

CQFView::~CQFView() = default;

BarPlacement CQFView::PlaceBars(int left, int top, int right, int bottom) {
    BarPlacement p;
    p.realTime = QRect(left + 228, top + 30, right - left - 230, 95);
    if (top + 142 < bottom - 120) {
        p.readings = QRect(left + 228, bottom - 120, right - left - 230, 100);
    }
    p.meterPanel = QRect(0, 31, 228, bottom - 50);
    if (top + 142 < bottom - 142) {
        p.scroll = QRect(left + 228, bottom - 142, right - left - 230, 25);
    }
    return p;
}

void CQFView::LayoutBars(const QRect& client) {
    const BarPlacement p = PlaceBars(0, 0, client.width(), client.height());
    const QPoint origin = client.topLeft();
    auto place = [&](QWidget& bar, const QRect& r) {
        bar.setGeometry(r.translated(origin));
        bar.raise();
        bar.show();
    };
    place(*m_barRealTime, p.realTime);
    if (p.readings) {
        place(*m_barReadings, *p.readings);
    }
    place(*m_panelMeter, p.meterPanel);
    if (p.scroll) {
        place(*m_barScroll, *p.scroll);
    }
}

void CQFView::OnInitialUpdate() {
    update();
    LayoutBars(m_frame.ClientRect());
    m_timerSample.start(m_live.m_nIntervalMs);
}

void CQFView::OnSampleTick() {
    MainLinkState& state = m_frame.State();
    // Nothing is committed before the pending start: the slot still belongs to the last
    // recording, and the start resets the index anyway.
    if (!m_live.m_bNewFrame || !state.m_bRecording || state.m_bStartPending) {
        return;
    }
    // The decoder writes the slot at the index, which must stay inside the arrays.
    if (m_live.m_nSampleIndex >= MAX_SAMPLES - 1) {
        return;
    }
    m_live.m_bRecordTick = true;
    if (!m_bZoomDragActive) {
        update();
    }
    m_barRealTime->m_strStartDateTime = FormatLocal(m_live.m_tmStart, "%d/%m/%y %H:%M:%S");
    m_strStartTime = FormatLocal(m_live.m_tmStart, "%H:%M:%S");
    ++m_live.m_nSampleIndex;
    m_barRealTime->m_strSampleCount = std::to_string(m_live.m_nSampleIndex);
    m_live.m_bNewFrame = false;
    m_barRealTime->RefreshFromMembers();
    m_panelMeter->InvalidateLcd();
    m_frame.UpdateCommandStates();
}

void CQFView::OnLinkLost() {
    m_panelMeter->update();
    m_barReadings->update();
}

std::optional<bool> CQFView::CommandEnabled(int id) const {
    switch (id) {
        case ID_RUN:
            return m_live.m_bLiveIdle;
        case ID_STOP:
            return m_live.m_bLiveRecording;
        case ID_SAVE:
        case ID_FILE_PRINT:
            return m_live.m_nSampleIndex != 0;
        case ID_OPEN_LOGGER:
            return !m_bLoggerShown;
        case ID_UNDO_ZOOM:
            return m_bFullView == 0;
        default:
            return std::nullopt;
    }
}

void CQFView::OnUndoZoom() {
    m_bFullView = 1;
    m_nScrollOffset = 0;
    m_barScroll->SetEnabled(false);
    update();
}

void CQFView::OnPrint() {}

void CQFView::OnScrolled(bool thumbTracking, int position) {
    if (thumbTracking) {
        m_bScrollSynced = 1;
        m_nScrollOffset = m_nFirstVisible - position + 1;
    }
    // Arrow and page clicks leave the thumb where the offset says.
    m_barScroll->SetPosition(m_nFirstVisible - m_nScrollOffset + 1);
    update();
}

void CQFView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintGraph(painter);
    if (m_bRunRequested) {
        m_timerSample.start(m_live.m_nIntervalMs);
        m_bRunRequested = false;
    }
}

// The plot and the strips beside it, with the grid of an empty recording. The curves,
// labels and legend of the graph are drawn here once the graph painter is in.
void CQFView::PaintGraph(QPainter& painter) {
    const QRect r = rect();
    const PlotGeometry g =
        PlotGeometry::FromClient(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    const int pL = g.pL, pT = g.pT, pR = g.pR, pB = g.pB, w = g.W, h = g.H;
    if (w <= 0 || h <= 0) {
        return;
    }
    painter.fillRect(226, pT - 24, pL - 226, h + 54, STRIP_GREY);
    painter.fillRect(pR, pT - 24, 60, h + 24, STRIP_GREY);
    painter.fillRect(pL, pT, w, h, Qt::black);
    painter.setPen(QPen(GRID_GREY, 1, Qt::DotLine));
    for (int i = 0; i <= 12; ++i) {
        const int x = pL + i * w / 12;
        painter.drawLine(x, pT, x, pB);
    }
    for (int i = 0; i <= 10; ++i) {
        const int y = pT + i * h / 10;
        painter.drawLine(pL, y, pR, y);
    }
}

}  // namespace qf

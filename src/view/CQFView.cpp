#include "view/CQFView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <ctime>

#include "analysis/CursorPair.h"
#include "analysis/FitY.h"
#include "graph/CursorReadout.h"
#include "graph/PlotGeometry.h"
#include "live/LiveRecord.h"
#include "store/CQFDoc.h"
#include "store/ConfigFile.h"
#include "store/QFConstants.h"
#include "store/Settings.h"
#include "ui/CommandIds.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "view/GraphPainting.h"

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

// Legend band and entries, in the main window's client area: right of the meter panel,
// under the real-time bar.
constexpr int LEGEND_LEFT = 290;
constexpr int LEGEND_TOP = 125;
constexpr int STRIP_HEIGHT = 25;
constexpr int LEGEND_HEIGHT = 23;
constexpr int LEGEND_ENTRY_STEP = 100;
constexpr int LEGEND_LINE_LEFT = 50;
constexpr int LEGEND_LINE_LENGTH = 50;
constexpr int LEGEND_LINE_BELOW_PLOT_TOP = 28;
constexpr int LEGEND_TEXT_LEFT = 65;
constexpr int LEGEND_TEXT_BELOW_PLOT_TOP = 10;
// Time axis band under the plot, in the main window's client area.
constexpr int TIME_AXIS_BELOW_PLOT = 31;
constexpr int TIME_AXIS_EXTRA_WIDTH = 108;
constexpr int TIME_AXIS_HEIGHT = 29;

// A surface of the given size, reused while the size stays; null for no area.
void Resize(QImage& image, int width, int height) {
    if (width <= 0 || height <= 0) {
        image = QImage();
    } else if (image.width() != width || image.height() != height) {
        image = QImage(width, height, QImage::Format_RGB32);
    }
}

// Code that leaves the upper halves of the AVX registers in use (some library routines do)
// makes every later scalar SSE instruction wait on them: the zoom levels' millions of
// divisions then run several times slower. Clearing them first costs nothing.
void ClearUpperVectorHalves() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) {
        asm volatile("vzeroupper");
    }
#endif
}

// Adds an item drawn by inverting, or removes it when drawing it again restores the screen.
template <typename T>
void Toggle(std::vector<T>& items, const T& item) {
    const auto it = std::find(items.begin(), items.end(), item);
    if (it != items.end()) {
        items.erase(it);
    } else {
        items.push_back(item);
    }
}

}  // namespace

CQFView::CQFView(QWidget& frame, CLiveModel& live, const CConfigFile& config)
    : QWidget(&frame),
      m_live(live),
      m_clientArea([&frame] { return frame.rect(); }),
      m_fontLabel(GraphLabelFont()) {
    // The bars are children of the main window, above the view, created in this order.
    const Settings settings = LoadSettings(config);
    m_display.m_nYGain = settings.m_nYGain;
    m_display.m_nYOffset = settings.m_nYOffset;
    ApplyYAxisChoice(m_display, -1, -1);
    m_barRealTime = std::make_unique<CRealTimeBar>(m_display, &frame);
    m_barReadings = std::make_unique<CReadingsBar>(live.Readings(), live.Units(), &frame);
    m_barReadings->LoadLimits(config);
    m_panelMeter =
        std::make_unique<CMeterPanel>(live.Panel(), live.Recording().m_bLinkLost, &frame);
    m_barScroll = std::make_unique<CScrollBarBar>(&frame);
    m_barRealTime->setObjectName(QStringLiteral("realTimeBar"));
    m_barReadings->setObjectName(QStringLiteral("readingsBar"));
    m_panelMeter->setObjectName(QStringLiteral("meterPanel"));
    m_barScroll->setObjectName(QStringLiteral("scrollBarBar"));

    // Painted wholly from the graph's own surfaces; what it leaves is the main window's.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::ClickFocus);
    // The read-out follows the mouse without a button held.
    setMouseTracking(true);
    connect(&m_timerSample, &QTimer::timeout, this, &CQFView::OnSampleTick);
    connect(&m_timerDragWatch, &QTimer::timeout, this, &CQFView::OnDragWatch);
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

void CQFView::PaintClientStrips(QPainter& painter, int right, int bottom) {
    // Beside the meter panel, and the legend's band over the graph.
    if (bottom - 290 > 0) {
        painter.fillRect(right - 52, LEGEND_TOP, 63, bottom - 290, PANEL_GREY);
    }
    if (right - 300 > 0) {
        painter.fillRect(LEGEND_LEFT, LEGEND_TOP, right - 300, STRIP_HEIGHT, PANEL_GREY);
    }
}

void CQFView::OnInitialUpdate() {
    update();
    LayoutBars(m_clientArea());
    m_timerSample.start(m_live.Recording().m_nIntervalMs);
}

void CQFView::OnSampleTick() {
    m_live.OnSamplingTick();
}

void CQFView::OnLiveChanged(unsigned changes) {
    const RecordingState& rec = m_live.Recording();
    if (changes & LIVE_FRAME) {
        m_barRealTime->SetBattery(m_live.Panel().m_strBattery);
        m_barRealTime->RefreshFromMembers();
        m_barReadings->RefreshFromMembers();
        m_panelMeter->InvalidateLcd();
    }
    if (changes & LIVE_RECORDING_STARTED) {
        update();
    }
    if (changes & LIVE_ALARMS) {
        m_barReadings->OnAlarmsChanged();
    }
    if (changes & LIVE_SAMPLE) {
        if (!m_drag.Active()) {
            update();
        }
        m_barRealTime->SetRecordingTexts(FormatLocal(rec.m_tmStart, "%d/%m/%y %H:%M:%S"),
                                         std::to_string(rec.m_nSampleIndex));
        m_barRealTime->RefreshFromMembers();
        m_panelMeter->InvalidateLcd();
    }
    if (changes & LIVE_INTERVAL) {
        m_barRealTime->SetInterval(std::to_string(rec.m_nIntervalMs / 1000));
        m_barRealTime->RefreshFromMembers();
    }
    if (changes & LIVE_RUN) {
        // Even after Cancel: the next paint restarts the sampling timer with the interval.
        m_bRunRequested = true;
        update();
    }
    if (changes & LIVE_LINK_LOST) {
        m_panelMeter->update();
        m_barReadings->update();
    }
}

std::optional<bool> CQFView::CommandEnabled(int id) const {
    switch (id) {
        case ID_RUN:
            return m_live.Recording().m_bLiveIdle;
        case ID_STOP:
            return m_live.Recording().m_bLiveRecording;
        case ID_SAVE:
        case ID_FILE_PRINT:
            return m_live.Recording().m_nSampleIndex != 0;
        case ID_OPEN_LOGGER:
            return !m_bLoggerShown;
        case ID_UNDO_ZOOM:
            return m_graph.UndoZoomEnabled();
        default:
            return std::nullopt;
    }
}

void CQFView::OnUndoZoom() {
    m_graph.UndoZoom();
    m_nCursorB = -1;
    m_barScroll->Reset();
    RepaintNow();
}

void CQFView::OnScrolled(ScrollCode code, int position) {
    m_barScroll->SetPosition(m_graph.OnScroll(code, position));
    update();
}

const StoredRecord& CQFView::AnalysisRecord() {
    LiveStoredRecord(m_live.Doc(), m_live.Recording(), m_live.Units(), m_analysisRecord);
    m_analysisRecord.yGain = m_display.m_nYGain;
    m_analysisRecord.yOffset = m_display.m_nYOffset;
    return m_analysisRecord;
}

SampleSpan CQFView::AnalysisSpan() const {
    const int count = std::min(m_live.Recording().m_nSampleIndex, MAX_SAMPLES);
    if (m_nCursorB >= 0 && !m_bCursorFresh && m_nCursorSample >= 0) {
        return {std::min(m_nCursorSample, m_nCursorB), std::max(m_nCursorSample, m_nCursorB)};
    }
    const auto [first, last] = m_graph.Core().VisibleRange(count);
    return {first, last};
}

bool CQFView::FitY() {
    const StoredRecord& record = AnalysisRecord();
    const std::optional<YAxisChoice> choice =
        FitYAxis(ComputeSpanStatistics(record, AnalysisSpan()), m_display);
    if (!choice) {
        return false;
    }
    ApplyYAxisChoice(m_display, choice->gainPos, choice->offsetPos);
    m_barRealTime->RefreshFromMembers();
    RepaintNow();
    return true;
}

void CQFView::ClearCursorB() {
    if (m_nCursorB < 0) {
        return;
    }
    m_nCursorB = -1;
    RepaintNow();
}

void CQFView::PlaceCursorB(int x) {
    int sample = -1;
    const int count = std::min(m_live.Recording().m_nSampleIndex, MAX_SAMPLES);
    if (!m_graph.Core().SampleAt(x, sample) || sample < 0 || sample >= count ||
        sample == m_nCursorB) {
        return;
    }
    m_nCursorB = sample;
    RepaintNow();
}

bool CQFView::SampleLineX(const GraphFrame& f, int sample, int& x) const {
    float at = 0.0f;
    if (sample < 0 || !f.hasPlot || !m_graph.Core().SampleX(sample, at)) {
        return false;
    }
    x = PixelCoord(at);
    return x >= f.geo.pL && x <= f.geo.pR;
}

void CQFView::UpdateCursorPanel() {
    if (m_cursorPanel == nullptr) {
        m_cursorPanel = new CCursorPanel(this);
    }
    if (m_nCursorB < 0 || m_bCursorFresh || m_nCursorSample < 0) {
        m_cursorPanel->hide();
        return;
    }
    const PlotGeometry g = m_graph.Frame().geo;
    m_cursorPanel->ShowTexts(
        ReadCursorPair(AnalysisRecord(), m_nCursorSample, m_nCursorB, m_display),
        QPoint(g.pL + 8, g.pT + 8));
}

bool CQFView::CanZoom(const PlotGeometry& g) const {
    return m_live.Recording().m_nSampleIndex >= 1 && g.HasArea();
}

PlotGeometry CQFView::Geometry() const {
    return PlotGeometry::FromClient(0, 0, width(), height());
}

std::size_t CQFView::GraphStateBytes() const {
    return m_graph.MemoryBytes() + sizeof(m_drag) + m_invertedLines.capacity() * sizeof(int) +
           m_invertedBands.capacity() * sizeof(BandRect);
}

std::size_t CQFView::SurfaceBytes() const {
    return std::size_t(m_plot.sizeInBytes()) + std::size_t(m_yStrip.sizeInBytes()) +
           std::size_t(m_rightStrip.sizeInBytes());
}

void CQFView::RepaintNow() {
    update();
    repaint();
}

void CQFView::paintEvent(QPaintEvent* event) {
    // Every invalidation of the view redraws the graph. What only shows it again: inverted
    // lines and bands moving, and parts hidden under the bars.
    const QRegion visible = event->region() & visibleRegion();
    const PlotGeometry& last = m_graph.Frame().geo;
    const bool sameSize = m_bRendered && last.r == width() && last.b == height();
    if (!sameSize || !(visible - m_overlayDirty).isEmpty()) {
        RenderGraph();
        // A repaint of part of the view took the inverted items off the books: take them
        // off the rest of the screen too.
        if (!(visibleRegion() - event->region()).isEmpty()) {
            update();
        }
    }
    m_overlayDirty = QRegion();
    QPainter painter(this);
    PaintClientItems(painter);
    const GraphFrame& f = m_graph.Frame();
    const PlotGeometry& g = f.geo;
    if (!m_plot.isNull()) {
        painter.drawImage(g.pL, g.pT, m_plot);
    }
    if (!m_yStrip.isNull()) {
        painter.drawImage(Y_STRIP_LEFT, g.pT - Y_STRIP_ABOVE_PLOT, m_yStrip);
    }
    if (!m_rightStrip.isNull()) {
        painter.drawImage(f.rightStripX, g.pT - Y_STRIP_ABOVE_PLOT, m_rightStrip);
    }
    PaintInverted(painter);
}

void CQFView::RenderGraph() {
    const RecordingState& rec = m_live.Recording();
    GraphInputs in;
    in.samples = m_live.Doc().m_liveSamples;
    in.count = rec.m_nSampleIndex;
    in.start = rec.m_tmStart;
    in.intervalMs = rec.m_nIntervalMs;
    in.tempUnit = m_live.Units().m_nTempUnit;
    in.speedFactor = m_live.Units().m_fSpeedFactor;
    in.yOffset = m_display.m_nYOffset;
    in.yGain = m_display.m_nYGain;
    in.traces = m_display;
    in.geo = Geometry();
    ClearUpperVectorHalves();
    const bool couldUndoZoom = m_graph.UndoZoomEnabled();
    const GraphFrame& f = m_graph.Compute(in);
    m_bRendered = true;
    // The repaint covers whatever was inverted on screen.
    m_invertedLines.clear();
    m_invertedBands.clear();
    m_legend = in.traces;

    if (f.statusHeaders) {
        emit paneTextRequested(1, QString::fromLatin1(STATUS_TIME_HEADER));
        emit paneTextRequested(2, QString::fromLatin1(STATUS_VALUES_HEADER));
    }
    PaintPlot(f);
    PaintYStrip(f);
    Resize(m_rightStrip, f.rightStripWidth, f.rightStripHeight);
    if (!m_rightStrip.isNull()) {
        m_rightStrip.fill(PANEL_GREY);
    }

    // Zoom mode scrolls; the full view, a new recording's included, has nothing to scroll.
    if (f.scroll.enabled) {
        if (f.scroll.setRange) {
            m_barScroll->SetRange(0, f.scroll.rangeMax);
        }
        if (f.scroll.setPosition) {
            m_barScroll->SetPosition(f.scroll.position);
        }
        m_barScroll->SetPageStep(m_graph.VisibleSpan());
        m_barScroll->SetEnabled(true);
    } else {
        m_barScroll->Reset();
    }
    if (f.repaintRequested) {
        update();  // the scale compressed: everything again on the new one
    }
    if (m_bRunRequested) {
        m_timerSample.start(rec.m_nIntervalMs);
        m_bRunRequested = false;
    }
    m_barRealTime->RefreshFromMembers();
    m_barReadings->RefreshFromMembers();
    if (m_graph.UndoZoomEnabled() != couldUndoZoom) {
        emit commandStatesChanged();
    }
    UpdateCursorPanel();
    emit analysisChanged();
}

void CQFView::PaintPlot(const GraphFrame& f) {
    const PlotGeometry& g = f.geo;
    Resize(m_plot, f.hasPlot ? g.W : 0, f.hasPlot ? g.H : 0);
    const bool tick = m_live.Recording().m_bRecordTick;
    if (m_plot.isNull()) {
        // Nothing to draw into; the tick's line goes with the next plot.
        m_bCursorFresh = m_bCursorFresh || !tick;
        return;
    }
    m_plot.fill(Qt::black);
    QPainter painter(&m_plot);
    // With cursor B set, A stays on its sample through zoom and scroll as B does.
    int anchoredX = m_nCursorX;
    const bool anchored =
        !tick && !m_bCursorFresh && m_nCursorB >= 0 && SampleLineX(f, m_nCursorSample, anchoredX);
    if ((tick || anchored) && !m_bCursorFresh) {
        // The inverted cursor line was on screen: keep it there, so that the next move
        // erases it rather than drawing a second one.
        painter.setPen(LinePen(Qt::white, Qt::DotLine));
        m_nCursorX = anchoredX;
        const int x = m_nCursorX - g.pL;
        painter.drawLine(x, 0, x, g.H);
        if (tick) {
            m_live.ClearRecordTick();
        }
    } else if (!tick) {
        // Any other repaint (zoom, scroll, a new scale) takes the line away, and its
        // read-out with it: the panes would name a sample no longer under the mouse.
        if (!m_bCursorFresh && m_nCursorSample >= 0) {
            emit paneTextRequested(1, QString::fromLatin1(STATUS_TIME_HEADER));
            emit paneTextRequested(2, QString::fromLatin1(STATUS_VALUES_HEADER));
        }
        m_bCursorFresh = true;
        m_nCursorSample = -1;
    }
    painter.setPen(LinePen(GRID_GREY, Qt::DotLine));
    for (int i = 0; i < f.gridXCount; ++i) {
        painter.drawLine(f.gridX[i], g.H, f.gridX[i], 0);
    }
    for (int j = 0; j < f.gridYCount; ++j) {
        painter.drawLine(0, f.gridY[j], g.W, f.gridY[j]);
    }
    painter.end();

    DrawTraces(m_plot, f.traces);
    int bx = 0;
    if (m_nCursorB >= 0 && SampleLineX(f, m_nCursorB, bx)) {
        QPainter b(&m_plot);
        b.setPen(LinePen(CURSOR_B_COLOUR, Qt::DashLine));
        b.drawLine(bx - g.pL, 0, bx - g.pL, g.H);
    }
}

void CQFView::PaintYStrip(const GraphFrame& f) {
    Resize(m_yStrip, f.stripWidth, f.stripHeight);
    if (m_yStrip.isNull()) {
        return;
    }
    m_yStrip.fill(PANEL_GREY);
    QPainter painter(&m_yStrip);
    painter.setFont(m_fontLabel);
    for (const YLabel& l : f.yLabels) {
        painter.setPen(LinePen(Qt::black, Qt::SolidLine));
        painter.drawLine(f.tickX0, l.tickY, f.tickX1, l.tickY);
        DrawCellText(painter, l.textX, l.textY, QString::fromStdString(l.text), Qt::white);
    }
}

void CQFView::PaintClientItems(QPainter& painter) const {
    const GraphFrame& f = m_graph.Frame();
    const PlotGeometry& g = f.geo;
    painter.save();
    // Positions are the main window's client coordinates, taken from the view's own plot.
    painter.translate(m_clientArea().topLeft() - pos());
    painter.setFont(m_fontLabel);

    painter.fillRect(QRect(LEGEND_LEFT, LEGEND_TOP, g.r - 280, LEGEND_HEIGHT), PANEL_GREY);
    for (int ch = 0; ch < NUM_CHANNELS; ++ch) {
        if (!m_legend.Shown(ch)) {
            continue;
        }
        const int left = g.pL + ch * LEGEND_ENTRY_STEP;
        // A 2-px line centred on its row.
        painter.fillRect(QRect(left + LEGEND_LINE_LEFT, g.pT + LEGEND_LINE_BELOW_PLOT_TOP - 1,
                               LEGEND_LINE_LENGTH, 2),
                         QColor(TRACE_COLOURS[ch]));
        DrawCellText(painter, left + LEGEND_TEXT_LEFT, g.pT + LEGEND_TEXT_BELOW_PLOT_TOP,
                     QString::fromLatin1(CHANNEL_NAMES[ch]), Qt::white);
    }

    if (f.timeAxisFill) {
        painter.fillRect(
            QRect(g.pL, g.pB + TIME_AXIS_BELOW_PLOT, g.W + TIME_AXIS_EXTRA_WIDTH, TIME_AXIS_HEIGHT),
            PANEL_GREY);
    }
    const QColor face = palette().color(QPalette::Button);
    for (int j = 0; j < f.timeLabelCount; ++j) {
        const TimeLabel& t = f.timeLabels[j];
        DrawCellText(painter, t.x, t.y, QString::fromStdString(t.text), face);
    }
    painter.restore();
}

void CQFView::PaintInverted(QPainter& painter) const {
    if (m_invertedLines.empty() && m_invertedBands.empty()) {
        return;
    }
    const PlotGeometry g = m_graph.Frame().geo;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(LinePen(Qt::black, Qt::DotLine));
    const int bottom = g.b - CURSOR_BOTTOM_MARGIN;
    for (const int x : m_invertedLines) {
        if (bottom > g.pT) {
            painter.drawLine(x, g.pT, x, bottom);
        }
    }
    // The band goes through a 50 % halftone: every other pixel of its frame inverts.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QBrush halftone(Qt::white, Qt::Dense4Pattern);
    for (const BandRect& band : m_invertedBands) {
        for (const QRect& part : BandFrame(band)) {
            painter.fillRect(part, halftone);
        }
    }
    painter.restore();
}

void CQFView::ToggleCursorLine(int x) {
    Toggle(m_invertedLines, x);
    const PlotGeometry g = Geometry();
    const QRect line(x, g.pT, 1, g.b - CURSOR_BOTTOM_MARGIN - g.pT);
    m_overlayDirty += line;
    update(line);
}

void CQFView::ToggleBand(const BandRect& band) {
    Toggle(m_invertedBands, band);
    for (const QRect& part : BandFrame(band)) {
        m_overlayDirty += part;
        update(part);
    }
}

void CQFView::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    const int count = m_live.Recording().m_nSampleIndex;
    const QPoint at = event->position().toPoint();
    m_ptMouse = at;
    if (count < 1) {
        return;
    }
    const PlotGeometry g = Geometry();
    if (m_bMovingB) {
        PlaceCursorB(g.ClampToCursor({at.x(), at.y()}).x);
        return;
    }
    const ViewPoint p = g.ClampToCursor({at.x(), at.y()});
    if (!m_bCursorFresh) {
        ToggleCursorLine(m_nCursorX);
    }
    ToggleCursorLine(p.x);
    m_bCursorFresh = false;
    m_nCursorX = p.x;

    const CursorReadout r =
        ReadCursor(m_graph, g, p.x, m_live.Doc().m_liveSamples, m_live.Recording(), m_live.Units());
    m_nCursorSample = r.m_bHasTexts ? r.m_nCursorSample : -1;
    if (r.m_bHasTexts) {
        emit paneTextRequested(1, QString::fromStdString(r.m_strTime));
        emit paneTextRequested(2, QString::fromStdString(r.m_strValues));
    }
    if (m_nCursorB >= 0) {
        UpdateCursorPanel();
        emit analysisChanged();
    }

    const DragMove move = m_drag.Move(DragAreaOf(g), CanZoom(g), {at.x(), at.y()});
    if (move.moved) {
        ToggleBand(move.from);
        ToggleBand(move.to);
    }
}

void CQFView::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    m_ptMouse = at;
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const PlotGeometry g = Geometry();
    if (event->modifiers() & Qt::ShiftModifier) {
        m_bMovingB = m_live.Recording().m_nSampleIndex >= 1;
        PlaceCursorB(g.ClampToCursor({at.x(), at.y()}).x);
        return;
    }
    if (m_drag.ButtonDown(m_graph.Core(), DragAreaOf(g), CanZoom(g), {at.x(), at.y()})) {
        m_timerDragWatch.start(DRAG_WATCH_MS);
    }
}

void CQFView::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    m_ptMouse = at;
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_bMovingB) {
        m_bMovingB = false;
        return;
    }
    const PlotGeometry g = Geometry();
    const DragRelease d =
        m_drag.ButtonUp(m_graph.Core(), DragAreaOf(g), CanZoom(g), {at.x(), at.y()});
    if (d.removeBand) {
        ToggleBand(d.band);
    }
    if (d.stopWatch) {
        m_timerDragWatch.stop();
    }
    if (d.repaintNow) {
        RepaintNow();
        emit commandStatesChanged();
    }
}

void CQFView::OnDragWatch() {
    // While the button is held every move reaches the view, wherever the pointer is, so the
    // last one seen is where the pointer is; some window systems tell no other way.
    if (m_drag.Watch(DragAreaOf(Geometry()), {m_ptMouse.x(), m_ptMouse.y()})) {
        RepaintNow();  // which removes the band
        m_timerDragWatch.stop();
    }
}

}  // namespace qf

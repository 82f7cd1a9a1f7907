#include "app/CPaintProbe.h"

#include <QEvent>
#include <QPaintEvent>
#include <QWidget>

#include "app/CMainFrame.h"
#include "bars/CMeterPanel.h"
#include "link/FrameTrace.h"
#include "link/LiveFrame.h"
#include "view/CQFView.h"

namespace qf {

CPaintProbe::CPaintProbe(CMainFrame& frame, Sink sink)
    : m_panel(&frame.View().MeterPanel()), m_window(&frame), m_sink(std::move(sink)) {
    // Connected after the main window's own connection, so the frame is decoded by now.
    connect(&frame.Link(), &CMeterLink::chunkReceived, this,
            [this](const std::vector<std::uint8_t>& chunk, qint64) {
                if (IsValidFrame(chunk.data(), chunk.size())) {
                    m_latest = FrameFingerprint(chunk.data(), chunk.size());
                    m_bFresh = true;
                    m_sink("recv", m_latest, CFrameTrace::Now());
                }
            });
    m_panel->installEventFilter(this);
    m_window->installEventFilter(this);
}

CPaintProbe::~CPaintProbe() {
    m_panel->removeEventFilter(this);
    m_window->removeEventFilter(this);
}

bool CPaintProbe::eventFilter(QObject* watched, QEvent* event) {
    // The event is handled here, by the object itself, so that the time taken afterwards
    // includes the painting; QObject::event is the public way in.
    if (watched == m_panel && event->type() == QEvent::Paint && m_bFresh) {
        const QRect lcd = CMeterPanel::LCD_RECT.translated(m_panel->contentsRect().topLeft());
        if (!static_cast<QPaintEvent*>(event)->rect().intersects(lcd)) {
            return false;
        }
        static_cast<QObject*>(m_panel)->event(event);
        m_bFresh = false;
        m_bPainted = true;
        m_sink("paint", m_latest, CFrameTrace::Now());
        return true;
    }
    if (watched == m_window && event->type() == QEvent::UpdateRequest && m_bFresh) {
        // The panel paints within the window's update, which then flushes to the screen.
        static_cast<QObject*>(m_window)->event(event);
        if (m_bPainted) {
            m_bPainted = false;
            m_sink("shown", m_latest, CFrameTrace::Now());
        }
        return true;
    }
    return false;
}

std::unique_ptr<CPaintProbe> InstallFrameTrace(CMainFrame& frame) {
    std::shared_ptr<CFrameTrace> trace = CFrameTrace::FromEnvironment();
    if (!trace) {
        return nullptr;
    }
    return std::make_unique<CPaintProbe>(
        frame, [trace](const char* event, std::uint64_t fingerprint, std::int64_t ns) {
            trace->Frame(event, fingerprint, ns);
        });
}

}  // namespace qf

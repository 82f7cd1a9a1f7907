// Follows the meter's frames to the screen, for measuring the frame-to-screen latency:
// each valid frame as the link hands it on ("recv"), the meter panel's first repaint of
// its LCD after it ("paint") and the end of that window update, when the picture has gone
// to the screen ("shown"). Only installed when asked for: by the program when
// QF_FRAME_TRACE names a file, and by the latency benchmark.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace qf {

class CMainFrame;

class CPaintProbe : public QObject {
    Q_OBJECT
public:
    using Sink = std::function<void(const char* event, std::uint64_t fingerprint, std::int64_t ns)>;

    CPaintProbe(CMainFrame& frame, Sink sink);
    ~CPaintProbe() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_panel;
    QWidget* m_window;
    Sink m_sink;
    std::uint64_t m_latest = 0;
    bool m_bFresh = false;    // a frame not yet painted
    bool m_bPainted = false;  // painted, the window update not yet over
};

// A probe writing to the QF_FRAME_TRACE file; null when the variable is unset.
std::unique_ptr<CPaintProbe> InstallFrameTrace(CMainFrame& frame);

}  // namespace qf

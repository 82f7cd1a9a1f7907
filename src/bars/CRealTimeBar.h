// The real-time bar above the graph: four read-only facts about the recording and the
// buttons that choose the graph's curves and Y scale. It keeps no graph state of its own;
// the buttons write the view's GraphDisplayState and ask for a view update.
#pragma once

#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "live/GraphDisplayState.h"

class QLineEdit;
class QPushButton;

namespace qf {

class CRealTimeBar : public QWidget {
    Q_OBJECT
public:
    // Control ids of the bar's layout.
    static constexpr int ID_TITLE = 1043;
    static constexpr int ID_SHOW_AIRT = 1044;
    static constexpr int ID_SHOW_IRT = 1045;
    static constexpr int ID_SHOW_AIRV = 1046;
    static constexpr int ID_SHOW_FLOW = 1049;
    static constexpr int ID_COMBINE = 1047;
    static constexpr int ID_Y_AXIS = 1048;
    static constexpr int ID_BATTERY_LABEL = 1032;
    static constexpr int ID_BATTERY = 1026;
    static constexpr int ID_START_LABEL = 1035;
    static constexpr int ID_START = 1014;
    static constexpr int ID_INTERVAL_LABEL = 1077;
    static constexpr int ID_INTERVAL = 1078;
    static constexpr int ID_SECONDS_LABEL = 1079;
    static constexpr int ID_SAMPLES_LABEL = 1037;
    static constexpr int ID_SAMPLES = 1015;

    // `display` must outlive the bar.
    explicit CRealTimeBar(GraphDisplayState& display, QWidget* parent = nullptr);

    // The control with a layout id; nullptr for an id the bar does not have.
    QWidget* Control(int id) const;
    QPushButton* Button(int id) const;
    QLineEdit* Field(int id) const;

    QSize sizeHint() const override;

    // Texts for the read-only fields, shown at the next refresh; the bar never reads them
    // back from the fields.
    void SetRecordingTexts(std::string startDateTime, std::string sampleCount) {
        m_strStartDateTime = std::move(startDateTime);
        m_strSampleCount = std::move(sampleCount);
    }
    void SetBattery(std::string text) { m_strBattery = std::move(text); }
    void SetInterval(std::string seconds) { m_strInterval = std::move(seconds); }
    const std::string& StartDateTime() const { return m_strStartDateTime; }
    const std::string& SampleCount() const { return m_strSampleCount; }
    const std::string& Battery() const { return m_strBattery; }
    const std::string& Interval() const { return m_strInterval; }

signals:
    // The display state changed: every view of the document is to repaint.
    void viewUpdateRequested();

public slots:
    // Shows the four texts in their fields.
    void RefreshFromMembers();

    void OnShowAirT();
    void OnShowIrt();
    void OnShowAirV();
    void OnShowFlow();
    void OnCombine();
    // Runs the Y axis dialog modally; only OK changes anything.
    void OnYAxis();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    GraphDisplayState& m_display;
    std::vector<std::pair<int, QWidget*>> m_controls;
    std::string m_strStartDateTime;  // the sampling tick's
    std::string m_strSampleCount;    // the sampling tick's
    std::string m_strBattery;        // the last frame's, "Normal" or "Low"
    std::string m_strInterval;       // Run's, whole seconds
};

}  // namespace qf

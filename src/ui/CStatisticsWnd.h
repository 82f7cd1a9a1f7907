// The statistics of a span, in a small window of its own that stays open beside the graph
// it describes: per channel the samples with a reading, minimum and maximum with their
// times, and the mean, with units. "Copy" puts the table on the clipboard as tab-separated
// text for a spreadsheet.
#pragma once

#include <QWidget>
#include <string>

#include "analysis/SpanStatistics.h"

class QLabel;
class QTableWidget;

namespace qf {

inline constexpr char STATISTICS_TITLE[] = "Statistics";

class CStatisticsWnd : public QWidget {
    Q_OBJECT
public:
    explicit CStatisticsWnd(QWidget* parent);

    // The span of `record` to describe; `source` names the window it comes from.
    void Show(const StoredRecord& record, SampleSpan span, const QString& source);

    QString SpanText() const;
    QString Cell(int row, int column) const;
    const std::string& TabText() const { return m_tabText; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnCopy();

    QLabel* m_span = nullptr;
    QTableWidget* m_table = nullptr;
    std::string m_tabText;
};

}  // namespace qf

#include "ui/CStatisticsWnd.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/SpanTime.h"
#include "graph/ClockText.h"

namespace qf {

namespace {

const char* const HEADERS[] = {"Channel", "Valid", "Minimum", "at", "Maximum", "at", "Mean"};
constexpr int COLUMNS = 7;

}  // namespace

CStatisticsWnd::CStatisticsWnd(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setWindowTitle(QString::fromLatin1(STATISTICS_TITLE));
    setObjectName(QStringLiteral("statisticsWindow"));
    auto* layout = new QVBoxLayout(this);
    m_span = new QLabel(this);
    m_span->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_span);
    m_table = new QTableWidget(NUM_CHANNELS, COLUMNS, this);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setFocusPolicy(Qt::NoFocus);
    for (int c = 0; c < COLUMNS; ++c) {
        m_table->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromLatin1(HEADERS[c])));
    }
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    layout->addWidget(m_table);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* copy = new QPushButton(QStringLiteral("Copy"), this);
    copy->setObjectName(QStringLiteral("copy"));
    connect(copy, &QPushButton::clicked, this, &CStatisticsWnd::OnCopy);
    buttons->addWidget(copy);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

// Keys, not shortcuts: a tool window's shortcuts would also fire in the window it belongs to.
void CStatisticsWnd::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        OnCopy();
    } else if (event->key() == Qt::Key_Escape) {
        close();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void CStatisticsWnd::Show(const StoredRecord& record, SampleSpan span, const QString& source) {
    const SpanStatistics stats = ComputeSpanStatistics(record, span);
    const auto texts = StatisticsTexts(stats, record);
    const SampleSpan s = stats.span;
    QString spanText = source + QStringLiteral(": ");
    if (s.Size() == 0) {
        spanText += QStringLiteral("no samples");
    } else {
        spanText += QString::fromStdString(FormatClock(SampleTime(record, s.first)) + " to " +
                                           FormatClock(SampleTime(record, s.last)));
        spanText += s.Size() == 1 ? QStringLiteral(", 1 sample")
                                  : QStringLiteral(", %1 samples").arg(s.Size());
    }
    m_span->setText(spanText);
    // Clock times, with their date only when the span runs over more than one day; the
    // copied text keeps the full ISO times.
    const bool oneDay = s.Size() == 0 || IsoLocalTime(SampleTime(record, s.first)).substr(0, 10) ==
                                             IsoLocalTime(SampleTime(record, s.last)).substr(0, 10);
    const auto when = [oneDay](const std::string& iso) {
        return iso.size() < 19 ? iso
               : oneDay        ? iso.substr(11, 8)
                               : iso.substr(0, 10) + " " + iso.substr(11, 8);
    };
    for (int r = 0; r < NUM_CHANNELS; ++r) {
        const ChannelStatisticsTexts& t = texts[std::size_t(r)];
        const std::string name = t.unit == t.name ? t.name : t.name + " (" + t.unit + ")";
        const std::string cells[COLUMNS] = {name,
                                            t.valid,
                                            t.min.empty() ? "-" : t.min,
                                            when(t.minTime),
                                            t.max.empty() ? "-" : t.max,
                                            when(t.maxTime),
                                            t.mean.empty() ? "-" : t.mean};
        for (int c = 0; c < COLUMNS; ++c) {
            QTableWidgetItem* item = m_table->item(r, c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                              : Qt::AlignRight | Qt::AlignVCenter);
                m_table->setItem(r, c, item);
            }
            item->setText(QString::fromStdString(cells[c]));
        }
    }
    m_tabText = StatisticsTabText(stats, record);
    adjustSize();
}

QString CStatisticsWnd::SpanText() const {
    return m_span->text();
}

QString CStatisticsWnd::Cell(int row, int column) const {
    const QTableWidgetItem* item = m_table->item(row, column);
    return item != nullptr ? item->text() : QString();
}

void CStatisticsWnd::OnCopy() {
    QApplication::clipboard()->setText(QString::fromStdString(m_tabText));
}

}  // namespace qf

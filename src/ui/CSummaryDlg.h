// "Print Summary": the title, a notes line and the span of the summary page. Returns a
// plain choice; the caller prints.
#pragma once

#include <QDialog>
#include <string>

#include "report/SummaryLayout.h"

class QLineEdit;
class QRadioButton;

namespace qf {

struct SummaryChoice {
    std::string title = SUMMARY_DEFAULT_TITLE;
    std::string notes;
    bool visibleSpan = false;  // the span the statistics use, else the whole recording
};

class CSummaryDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSummaryDlg(const SummaryChoice& preset, QWidget* parent = nullptr);

    // What the fields hold; the title falls back to the default when left empty.
    SummaryChoice Choice() const;

    QLineEdit* TitleEdit() const { return m_title; }
    QLineEdit* NotesEdit() const { return m_notes; }
    QRadioButton* VisibleSpanButton() const { return m_visible; }

private:
    QLineEdit* m_title = nullptr;
    QLineEdit* m_notes = nullptr;
    QRadioButton* m_whole = nullptr;
    QRadioButton* m_visible = nullptr;
};

}  // namespace qf

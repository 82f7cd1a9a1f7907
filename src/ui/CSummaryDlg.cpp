#include "ui/CSummaryDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qf {

CSummaryDlg::CSummaryDlg(const SummaryChoice& preset, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Print Summary"));
    m_title = new QLineEdit(QString::fromStdString(preset.title), this);
    m_title->setPlaceholderText(QString::fromLatin1(SUMMARY_DEFAULT_TITLE));
    m_notes = new QLineEdit(QString::fromStdString(preset.notes), this);
    m_notes->setPlaceholderText(tr("e.g. site, duct, technician"));
    m_whole = new QRadioButton(tr("Whole recording"), this);
    m_visible = new QRadioButton(tr("Print summary of the visible span"), this);
    (preset.visibleSpan ? m_visible : m_whole)->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(tr("&Title:"), m_title);
    form->addRow(tr("&Notes:"), m_notes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_whole);
    layout->addWidget(m_visible);
    layout->addWidget(buttons);
    m_title->setMinimumWidth(fontMetrics().averageCharWidth() * 45);
}

SummaryChoice CSummaryDlg::Choice() const {
    SummaryChoice c;
    const QString title = m_title->text().trimmed();
    c.title = title.isEmpty() ? std::string(SUMMARY_DEFAULT_TITLE) : title.toStdString();
    c.notes = m_notes->text().trimmed().toStdString();
    c.visibleSpan = m_visible->isChecked();
    return c;
}

}  // namespace qf

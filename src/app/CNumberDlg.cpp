#include "app/CNumberDlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/IUserPrompts.h"

namespace qf {

CNumberDlg::CNumberDlg(IUserPrompts& prompts, const QString& badTextMessage, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_strBadText(badTextMessage) {}

void CNumberDlg::CreateField(QLineEdit* edit, QPushButton* ok) {
    m_edit = edit;
    m_ok = ok;
    connect(m_ok, &QPushButton::clicked, this, &CNumberDlg::OnOk);
}

void CNumberDlg::OnOk() {
    if (!TakeText(m_edit->text())) {
        m_prompts.ShowMessage(this, m_strBadText);
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    accept();
}

}  // namespace qf

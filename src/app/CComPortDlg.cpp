#include "app/CComPortDlg.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppTexts.h"
#include "store/IntegerText.h"
#include "ui/DialogUnits.h"

namespace qf {

CComPortDlg::CComPortDlg(IUserPrompts& prompts, QWidget* parent)
    : CNumberDlg(prompts, QString::fromLatin1(MSG_ENTER_POSITIVE_INTEGER), parent) {
    const DialogUnits& u = DLU_SANS_8;
    setWindowTitle(QStringLiteral("COM Port Setup"));
    setFixedSize(u.Size(140, 55));

    const QFont labelFont = DialogLabelFont(15);

    auto* group = new QGroupBox(QStringLiteral("Input integer number 5 to 16"), this);
    group->setGeometry(u.Rect(5, 3, 132, 36));
    auto* label = new QLabel(QStringLiteral("COM  No."), this);
    label->setGeometry(u.Rect(30, 23, 32, 8));
    label->setFont(labelFont);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("port"));
    edit->setGeometry(u.Rect(66, 20, 40, 14));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(u.Rect(54, 40, 33, 14));
    ok->setFont(labelFont);
    // A plain push button: Enter reaches the dialog, which treats it as OK.
    ok->setAutoDefault(false);
    ok->setDefault(false);
    CreateField(edit, ok);
    // Our faces are wider than the layout's: every text shows whole.
    FitGroup(*group, FlowRow({label, edit}), u.Rect(106, 0, 31, 0).width());
    FitToText(*ok);
    FitDialog(*this, {u.Rect(0, 0, 3, 0).width(), ROW_GAP}, {ok});
    SetPort(m_nPort);
    edit->setFocus();
}

void CComPortDlg::SetPort(std::uint32_t port) {
    m_nPort = port;
    m_edit->setText(QString::number(port));
}

bool CComPortDlg::TakeText(const QString& text) {
    const auto value = ParseUnsignedField(text.toStdString());
    if (!value) {
        return false;
    }
    m_nPort = *value;
    return true;
}

void CComPortDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnOk();
        return;
    }
    CNumberDlg::keyPressEvent(event);
}

}  // namespace qf

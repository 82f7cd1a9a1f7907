#include "app/CSampleRateDlg.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/AppTexts.h"
#include "store/IntegerText.h"
#include "ui/DialogUnits.h"

namespace qf {

namespace {

bool IsEnterOrEscape(const QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CSampleRateDlg::CSampleRateDlg(IUserPrompts& prompts, QWidget* parent)
    : CNumberDlg(prompts, QString::fromLatin1(MSG_ENTER_INTEGER), parent) {
    const DialogUnits& u = DLU_SANS_8;
    setWindowTitle(QStringLiteral("Sample Rate Setup"));
    setFixedSize(u.Size(145, 55));

    auto* group = new QGroupBox(QStringLiteral("Sample Rate Setup"), this);
    group->setGeometry(u.Rect(7, 7, 131, 34));
    auto* label = new QLabel(QStringLiteral("Sample Rate"), this);
    label->setGeometry(u.Rect(16, 22, 44, 11));
    label->setFont(DialogLabelFont(15));
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("interval"));
    edit->setGeometry(u.Rect(60, 20, 50, 13));
    auto* unit = new QLabel(QStringLiteral("Sec"), this);
    unit->setGeometry(u.Rect(111, 23, 13, 9));
    unit->setFont(DialogLabelFont(15));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(u.Rect(54, 41, 39, 14));
    ok->setFont(DialogLabelFont(15));
    ok->setDefault(true);
    CreateField(edit, ok);
    // Our faces are wider than the layout's: every text shows whole, "Sec" clear of the box.
    FitGroup(*group, FlowRow({label, edit, unit}), u.Rect(124, 0, 14, 0).width());
    FitToText(*ok);
    FitDialog(*this, {u.Rect(0, 0, 7, 0).width(), ROW_GAP}, {ok});

    // Enter and Escape are swallowed wherever the focus is, the OK button included.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    SetInterval(m_nInterval);
    edit->setFocus();
}

void CSampleRateDlg::SetInterval(std::int32_t seconds) {
    m_nInterval = seconds;
    m_edit->setText(QString::number(seconds));
}

bool CSampleRateDlg::TakeText(const QString& text) {
    const auto value = ParseSignedField(text.toStdString());
    if (!value) {
        return false;
    }
    m_nInterval = *value;
    return true;
}

bool CSampleRateDlg::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnterOrEscape(event)) {
        event->accept();
        return true;
    }
    return CNumberDlg::eventFilter(watched, event);
}

void CSampleRateDlg::keyPressEvent(QKeyEvent* event) {
    if (IsEnterOrEscape(event)) {
        event->accept();
        return;
    }
    CNumberDlg::keyPressEvent(event);
}

}  // namespace qf

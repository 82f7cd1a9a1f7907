#include "app/CAboutDlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "app/AppTexts.h"
#include "store/Version.h"
#include "ui/DialogUnits.h"

namespace qf {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const DialogUnits& u = DLU_SANS_8;
    setWindowTitle(QStringLiteral("About Thermo-Anemometer"));
    setFixedSize(u.Size(235, 55));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/qf7720.svg")).pixmap(32, 32));
    const QRect iconAt = u.Rect(11, 17, 0, 0);
    icon->setGeometry(iconAt.x(), iconAt.y(), 32, 32);
    auto* text = new QLabel(
        QStringLiteral("%1 Version %2").arg(QLatin1String(APP_TITLE), QLatin1String(QF_VERSION)),
        this);
    text->setGeometry(u.Rect(40, 10, 119, 8));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(u.Rect(178, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    // The version line shows whole, the OK button moving right of it when it must.
    text->setObjectName(QStringLiteral("version"));
    FlowRow({text, ok});
    FitDialog(*this, {u.Rect(0, 0, 7, 0).width(), ROW_GAP});
}

}  // namespace qf

#include "ui/CYAxisDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "ui/DialogUnits.h"

namespace qf {

const QStringList& CYAxisDlg::OffsetTexts() {
    static const QStringList texts = {"0", "2", "5", "-2", "-5"};
    return texts;
}

const QStringList& CYAxisDlg::GainTexts() {
    static const QStringList texts = {"1",   "2",   "5",   "10",   "20",    "50",
                                      "100", "200", "500", "1000", "10000", "100000"};
    return texts;
}

CYAxisDlg::CYAxisDlg(QWidget* parent) : QDialog(parent) {
    const DialogUnits& u = DLU_SYSTEM_10;
    setWindowTitle(QStringLiteral("Y OFFSET And Y GAINS Setup"));
    // A caption without the system menu: no close box; Escape still cancels.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(u.Size(140, 54));
    const QFont labelFont = DialogLabelFont(13);

    auto* group = new QGroupBox(QStringLiteral("Y OFFSET And Y GAINS "), this);
    group->setGeometry(u.Rect(7, 2, 126, 38));
    auto* offsetLabel = new QLabel(QStringLiteral("Y OFFSET(DIV)"), this);
    offsetLabel->setGeometry(u.Rect(13, 15, 49, 8));
    offsetLabel->setFont(labelFont);
    m_offsetList = new QComboBox(this);
    m_offsetList->setObjectName(QStringLiteral("offsetList"));
    m_offsetList->addItems(OffsetTexts());
    // The rectangle's height is that of the open list; the closed box is one line.
    m_offsetList->setGeometry(u.Rect(13, 24, 50, 12));
    m_offsetList->setCurrentIndex(-1);
    auto* gainLabel = new QLabel(QStringLiteral("Y GAINS/DIV"), this);
    gainLabel->setGeometry(u.Rect(78, 15, 42, 8));
    gainLabel->setFont(labelFont);
    m_gainList = new QComboBox(this);
    m_gainList->setObjectName(QStringLiteral("gainList"));
    m_gainList->addItems(GainTexts());
    m_gainList->setGeometry(u.Rect(78, 24, 48, 12));
    m_gainList->setCurrentIndex(-1);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(u.Rect(55, 40, 27, 14));
    m_ok->setFont(labelFont);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CYAxisDlg::OnOk);
    // Our faces are wider than the layout's: every text shows whole.
    FitToText(*offsetLabel);
    const int labelRight = FlowRow({offsetLabel, gainLabel});
    m_gainList->move(std::max(m_gainList->x(), gainLabel->x()), m_gainList->y());
    FitGroup(*group, std::max(labelRight, m_gainList->geometry().right()),
             u.Rect(126, 0, 7, 0).width());
    FitToText(*m_ok);
    FitDialog(*this, {u.Rect(0, 0, 7, 0).width(), 0}, {m_ok});
}

void CYAxisDlg::OnOk() {
    m_nOffsetPos = m_offsetList->currentIndex();
    m_nGainPos = m_gainList->currentIndex();
    accept();
}

}  // namespace qf

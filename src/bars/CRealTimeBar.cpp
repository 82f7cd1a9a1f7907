#include "bars/CRealTimeBar.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "bars/BarKeys.h"
#include "ui/CYAxisDlg.h"
#include "ui/DialogUnits.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

namespace qf {

namespace {

enum class Kind { Label, Button, Field };

struct ControlLayout {
    int id;
    Kind kind;
    const char* text;
    int x, y, w, h;  // dialog units
};

constexpr ControlLayout LAYOUT[] = {
    {CRealTimeBar::ID_TITLE, Kind::Label, "Real-Time Graph", 161, 0, 60, 8},
    {CRealTimeBar::ID_SHOW_AIRT, Kind::Button, "AirT", 0, 13, 16, 14},
    {CRealTimeBar::ID_SHOW_IRT, Kind::Button, "IRT", 16, 13, 16, 14},
    {CRealTimeBar::ID_SHOW_AIRV, Kind::Button, "AirV", 32, 13, 16, 14},
    {CRealTimeBar::ID_SHOW_FLOW, Kind::Button, "Flow", 48, 13, 18, 14},
    {CRealTimeBar::ID_COMBINE, Kind::Button, "Combine", 68, 13, 30, 14},
    {CRealTimeBar::ID_Y_AXIS, Kind::Button, "Y Axis", 98, 13, 30, 14},
    {CRealTimeBar::ID_BATTERY_LABEL, Kind::Label, "voltage stage", 132, 15, 44, 9},
    {CRealTimeBar::ID_BATTERY, Kind::Field, "", 178, 14, 37, 12},
    {CRealTimeBar::ID_START_LABEL, Kind::Label, "Start Time", 1, 33, 35, 11},
    {CRealTimeBar::ID_START, Kind::Field, "", 36, 32, 92, 12},
    {CRealTimeBar::ID_INTERVAL_LABEL, Kind::Label, "Sample Rate", 132, 33, 43, 11},
    {CRealTimeBar::ID_INTERVAL, Kind::Field, "", 177, 32, 37, 12},
    {CRealTimeBar::ID_SECONDS_LABEL, Kind::Label, "Sec", 215, 32, 15, 12},
    {CRealTimeBar::ID_SAMPLES_LABEL, Kind::Label, "DataNo.", 237, 33, 27, 8},
    {CRealTimeBar::ID_SAMPLES, Kind::Field, "", 264, 32, 34, 12},
};

// The layout's own font, "System" 10, is a bold sans serif of 16-pixel cells.
QFont TitleFont() {
    return ArialFont(13, QFont::Bold);
}

// Leaves an unchanged field alone; a changed one shows its start.
void ShowText(QLineEdit* edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit->text() != shown) {
        edit->setText(shown);
        edit->setCursorPosition(0);
    }
}

}  // namespace

CRealTimeBar::CRealTimeBar(GraphDisplayState& display, QWidget* parent)
    : QWidget(parent), m_display(display) {
    QPalette palette = this->palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        palette.setColor(role, BAR_BACKGROUND);
    }
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, Qt::black);
    }
    setPalette(palette);
    setAutoFillBackground(true);

    const QFont controlFont = DialogLabelFont(14);
    for (const ControlLayout& c : LAYOUT) {
        QWidget* w = nullptr;
        const QString text = QString::fromLatin1(c.text);
        switch (c.kind) {
            case Kind::Label: {
                auto* label = new QLabel(text, this);
                // Static text sits at the top of its rectangle.
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                w = label;
                break;
            }
            case Kind::Button:
                w = new QPushButton(text, this);
                break;
            case Kind::Field: {
                auto* field = new QLineEdit(this);
                field->setReadOnly(true);
                field->setFocusPolicy(Qt::NoFocus);
                w = field;
                break;
            }
        }
        w->setFont(c.id == ID_TITLE ? TitleFont() : controlFont);
        w->setGeometry(DLU_SYSTEM_10.Rect(c.x, c.y, c.w, c.h));
        m_controls.emplace_back(c.id, w);
    }

    connect(Button(ID_SHOW_AIRT), &QPushButton::clicked, this, &CRealTimeBar::OnShowAirT);
    connect(Button(ID_SHOW_IRT), &QPushButton::clicked, this, &CRealTimeBar::OnShowIrt);
    connect(Button(ID_SHOW_AIRV), &QPushButton::clicked, this, &CRealTimeBar::OnShowAirV);
    connect(Button(ID_SHOW_FLOW), &QPushButton::clicked, this, &CRealTimeBar::OnShowFlow);
    connect(Button(ID_COMBINE), &QPushButton::clicked, this, &CRealTimeBar::OnCombine);
    connect(Button(ID_Y_AXIS), &QPushButton::clicked, this, &CRealTimeBar::OnYAxis);
}

QWidget* CRealTimeBar::Control(int id) const {
    for (const auto& [controlId, widget] : m_controls) {
        if (controlId == id) {
            return widget;
        }
    }
    return nullptr;
}

QPushButton* CRealTimeBar::Button(int id) const {
    return qobject_cast<QPushButton*>(Control(id));
}

QLineEdit* CRealTimeBar::Field(int id) const {
    return qobject_cast<QLineEdit*>(Control(id));
}

QSize CRealTimeBar::sizeHint() const {
    return DLU_SYSTEM_10.Size(359, 47);
}

void CRealTimeBar::RefreshFromMembers() {
    ShowText(Field(ID_START), m_strStartDateTime);
    ShowText(Field(ID_SAMPLES), m_strSampleCount);
    ShowText(Field(ID_BATTERY), m_strBattery);
    ShowText(Field(ID_INTERVAL), m_strInterval);
}

void CRealTimeBar::OnShowAirT() {
    m_display.ShowOnly(&TraceFlags::m_bShowAirT);
    emit viewUpdateRequested();
}

void CRealTimeBar::OnShowIrt() {
    m_display.ShowOnly(&TraceFlags::m_bShowIrt);
    emit viewUpdateRequested();
}

void CRealTimeBar::OnShowAirV() {
    m_display.ShowOnly(&TraceFlags::m_bShowAirV);
    emit viewUpdateRequested();
}

void CRealTimeBar::OnShowFlow() {
    m_display.ShowOnly(&TraceFlags::m_bShowFlow);
    emit viewUpdateRequested();
}

void CRealTimeBar::OnCombine() {
    m_display.ShowAll();
    emit viewUpdateRequested();
}

void CRealTimeBar::OnYAxis() {
    // On the heap and watched: closing the main window during the modal loop deletes the
    // bar and, with it, the dialog.
    QPointer<CYAxisDlg> dialog = new CYAxisDlg(this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog) {
        return;
    }
    const int gainPos = dialog->GainPosition();
    const int offsetPos = dialog->OffsetPosition();
    delete dialog;
    if (!accepted) {
        return;
    }
    ApplyYAxisChoice(m_display, gainPos, offsetPos);
    emit viewUpdateRequested();
}

void CRealTimeBar::keyPressEvent(QKeyEvent* event) {
    if (!SwallowEnterEscape(event)) {
        QWidget::keyPressEvent(event);
    }
}

}  // namespace qf

#include "ui/CCursorPanel.h"

#include "ui/Fonts.h"

namespace qf {

namespace {

QString Cell(const std::string& text, bool right = true) {
    return QStringLiteral("<td align=\"%1\">&nbsp;%2&nbsp;</td>")
        .arg(right ? QStringLiteral("right") : QStringLiteral("left"),
             QString::fromStdString(text).toHtmlEscaped());
}

}  // namespace

CCursorPanel::CCursorPanel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("cursorPanel"));
    setTextFormat(Qt::RichText);
    setFont(ArialFont(12));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("QLabel { background: rgb(255, 255, 225); color: black; "
                                 "border: 1px solid rgb(120, 120, 120); padding: 2px; }"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void CCursorPanel::ShowTexts(const CursorPairTexts& t, QPoint at) {
    QString html = QStringLiteral("<table cellspacing=\"0\">");
    html += QStringLiteral("<tr>") + Cell("", false) + Cell("A") + Cell("B") + Cell("B \u2212 A") +
            QStringLiteral("</tr>");
    html += QStringLiteral("<tr>") + Cell("Time", false) + Cell(t.timeA) + Cell(t.timeB) +
            Cell("\u0394t " + t.deltaT) + QStringLiteral("</tr>");
    for (const CursorPairRow& r : t.rows) {
        html += QStringLiteral("<tr>") + Cell(r.name, false) + Cell(r.a) + Cell(r.b) +
                Cell(r.delta) + QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    setText(html);
    adjustSize();
    move(at);
    show();
    raise();
}

}  // namespace qf

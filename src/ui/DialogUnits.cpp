#include "ui/DialogUnits.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <algorithm>

namespace qf {

namespace {

// What the text needs: labels by their size hint, buttons by their text and frame.
QSize TextNeed(const QWidget& control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        const QFontMetrics fm(button->font());
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        return {fm.horizontalAdvance(button->text()) + 2 * margin + 4, fm.height() + 6};
    }
    if (qobject_cast<const QLabel*>(&control) != nullptr) {
        return control.sizeHint();
    }
    return {0, 0};
}

}  // namespace

void FitToText(QWidget& control) {
    const QSize need = TextNeed(control);
    QRect r = control.geometry();
    const QPoint centre = r.center();
    r.setSize(r.size().expandedTo(need));
    // A taller control keeps its middle where the layout put it.
    r.moveTop(centre.y() - r.height() / 2);
    control.setGeometry(r);
}

int FlowRow(std::initializer_list<QWidget*> row) {
    int middle = -1;
    for (QWidget* w : row) {
        if (qobject_cast<QLabel*>(w) == nullptr) {
            middle = w->geometry().center().y();
            break;
        }
    }
    int right = -1;
    for (QWidget* w : row) {
        FitToText(*w);
        QRect r = w->geometry();
        if (right >= 0 && r.left() < right + 1 + ROW_GAP) {
            r.moveLeft(right + 1 + ROW_GAP);
        }
        if (middle >= 0 && qobject_cast<QLabel*>(w) != nullptr) {
            r.moveTop(middle - r.height() / 2);
        }
        w->setGeometry(r);
        right = r.right();
    }
    return right;
}

void FitGroup(QGroupBox& group, int contentRight, int margin) {
    QRect r = group.geometry();
    const QFontMetrics fm(group.font());
    // The title starts a little in from the frame and needs the same room at its end.
    const int titleNeed = fm.horizontalAdvance(group.title()) + 2 * fm.averageCharWidth();
    r.setWidth(std::max({r.width(), titleNeed, contentRight + margin - r.left() + 1}));
    group.setGeometry(r);
}

void FitDialog(QWidget& dialog, QSize margin, std::initializer_list<QWidget*> centred) {
    const QRect content = dialog.childrenRect();
    const QSize layout = dialog.size();
    const QSize need(content.right() + 1 + margin.width(), content.bottom() + 1 + margin.height());
    const QSize size = layout.expandedTo(need);
    if (size.width() > layout.width()) {
        for (QWidget* w : centred) {
            w->move((size.width() - w->width()) / 2, w->y());
        }
    }
    dialog.setFixedSize(size);
}

}  // namespace qf

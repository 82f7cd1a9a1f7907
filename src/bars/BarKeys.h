// Bars and the meter panel ignore Enter and Escape, so these keys never close or cancel
// the window that holds them.
#pragma once

#include <QKeyEvent>

namespace qf {

// True when the key was swallowed; otherwise the widget passes it on.
inline bool SwallowEnterEscape(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return true;
        default:
            return false;
    }
}

}  // namespace qf

#include "bars/CNumericEdit.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace qf {

namespace {

// Select all stays: it inserts nothing, and selecting the field is how one retypes it.
constexpr QKeySequence::StandardKey BLOCKED_SHORTCUTS[] = {
    QKeySequence::Copy, QKeySequence::Cut,  QKeySequence::Paste,
    QKeySequence::Undo, QKeySequence::Redo,
};

constexpr char16_t DELETE_CHAR = 0x7F;

}  // namespace

CNumericEdit::CNumericEdit(QWidget* parent) : QLineEdit(parent) {
    // Input methods and drops would insert text past the key filter.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
}

bool CNumericEdit::IsAcceptedChar(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || u == u'-' || u == u'.' || u == u'\b';
}

void CNumericEdit::keyPressEvent(QKeyEvent* event) {
    for (const auto shortcut : BLOCKED_SHORTCUTS) {
        if (event->matches(shortcut)) {
            event->accept();
            return;
        }
    }
    const QString text = event->text();
    // Keys that type nothing (cursor movement), Delete, select all and Enter (which commits
    // the field) act as usual, although their characters are control characters.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (text.isEmpty() || text == QChar(DELETE_CHAR) || enter ||
        event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    for (const QChar c : text) {
        if (!IsAcceptedChar(c)) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace qf

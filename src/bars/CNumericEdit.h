// A single-line edit for numbers: typing accepts only digits, the minus sign, the decimal
// point and backspace. Everything else typed, control characters and the clipboard
// shortcuts included, is dropped without a sound; select all works. Text set by the program
// is not filtered.
#pragma once

#include <QLineEdit>

namespace qf {

class CNumericEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CNumericEdit(QWidget* parent = nullptr);

    static bool IsAcceptedChar(QChar c);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qf

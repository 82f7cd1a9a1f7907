// Every question, message and file dialog of the program goes through this interface, so
// that commands can be driven without a screen: the program uses CQtUserPrompts, tests a
// scripted double that answers from a list and records what was asked.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace qf {

class IUserPrompts {
public:
    virtual ~IUserPrompts() = default;

    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // A message with an OK button.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // Save dialog that asks before overwriting; nothing on Cancel. `suffix` is appended
    // to a name typed without one.
    virtual std::optional<QString> AskSaveFile(QWidget* parent, const QString& proposedName,
                                               const QString& filter, const QString& suffix) = 0;
    virtual std::optional<QString> AskOpenFile(QWidget* parent, const QString& filter) = 0;
    // Open dialog for one or more files, in the order chosen; none on Cancel. `filter`
    // holds ";;"-separated entries.
    virtual QStringList AskOpenFiles(QWidget* parent, const QString& filter) = 0;
    // Runs a modal dialog built by the caller; true when it ended with OK.
    virtual bool RunDialog(QDialog& dialog) = 0;
};

}  // namespace qf

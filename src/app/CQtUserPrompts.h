// The prompts on the screen: QMessageBox, QFileDialog and QDialog::exec.
#pragma once

#include "ui/IUserPrompts.h"

namespace qf {

class CQtUserPrompts : public IUserPrompts {
public:
    bool AskYesNo(QWidget* parent, const QString& text) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
    std::optional<QString> AskSaveFile(QWidget* parent, const QString& proposedName,
                                       const QString& filter, const QString& suffix) override;
    std::optional<QString> AskOpenFile(QWidget* parent, const QString& filter) override;
    QStringList AskOpenFiles(QWidget* parent, const QString& filter) override;
    bool RunDialog(QDialog& dialog) override;
};

}  // namespace qf

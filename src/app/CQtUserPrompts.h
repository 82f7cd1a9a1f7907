// The prompts on the screen: QMessageBox, QFileDialog and QDialog::exec. File dialogs start
// in the folder last used, remembered in the settings file across runs.
#pragma once

#include <QString>
#include <string>

#include "ui/IUserPrompts.h"

namespace qf {

class CQtUserPrompts : public IUserPrompts {
public:
    // `configPath`: the settings file that remembers the folder; empty: remembered for
    // this run only.
    explicit CQtUserPrompts(std::string configPath = {});

    bool AskYesNo(QWidget* parent, const QString& text) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
    // `suffix` is appended unless the chosen name already ends with "." + suffix (any
    // case); the overwrite question is asked about that final name.
    std::optional<QString> AskSaveFile(QWidget* parent, const QString& proposedName,
                                       const QString& filter, const QString& suffix) override;
    std::optional<QString> AskOpenFile(QWidget* parent, const QString& filter) override;
    QStringList AskOpenFiles(QWidget* parent, const QString& filter) override;
    bool RunDialog(QDialog& dialog) override;

    // Where the next file dialog starts: the folder last used while it exists, else the
    // user's documents folder (the home folder when there is none).
    QString StartFolder() const;
    // A file was chosen: its folder is where the next dialog starts, in later runs too.
    void RememberFolder(const QString& chosenFile);

private:
    std::string m_strConfigPath;
    QString m_strFolder;
};

}  // namespace qf

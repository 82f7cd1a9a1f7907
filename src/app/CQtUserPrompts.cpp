#include "app/CQtUserPrompts.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include "app/AppTexts.h"
#include "store/ConfigFile.h"
#include "store/Settings.h"

namespace qf {

namespace {

QString WithSuffix(const QString& path, const QString& suffix) {
    if (suffix.isEmpty() || path.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive)) {
        return path;
    }
    return path + QLatin1Char('.') + suffix;
}

}  // namespace

CQtUserPrompts::CQtUserPrompts(std::string configPath) : m_strConfigPath(std::move(configPath)) {
    if (!m_strConfigPath.empty()) {
        m_strFolder = QString::fromStdString(
            CConfigFile(m_strConfigPath).ReadText(SEC_FOLDERS, KEY_LAST_FOLDER, std::string()));
    }
}

QString CQtUserPrompts::StartFolder() const {
    // A folder since removed, or a path longer than a settings text, starts elsewhere.
    if (!m_strFolder.isEmpty() && QFileInfo(m_strFolder).isDir()) {
        return m_strFolder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir()) {
        return documents;
    }
    return QDir::homePath();
}

void CQtUserPrompts::RememberFolder(const QString& chosenFile) {
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (folder == m_strFolder) {
        return;
    }
    m_strFolder = folder;
    if (!m_strConfigPath.empty()) {
        // Its own section: the writer keeps every other one as it is.
        CConfigFile(m_strConfigPath).WriteText(SEC_FOLDERS, KEY_LAST_FOLDER, folder.toStdString());
    }
}

bool CQtUserPrompts::AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(APP_TITLE), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void CQtUserPrompts::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(APP_TITLE), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

std::optional<QString> CQtUserPrompts::AskSaveFile(QWidget* parent, const QString& proposedName,
                                                   const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), StartFolder(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog would ask about the name as typed, before our suffix is added: "09.11.25"
    // counts as having one. The question is ours, about the name that will be written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        const QString path = WithSuffix(dialog.selectedFiles().first(), suffix);
        const QFileInfo info(path);
        if (!info.exists() ||
            AskYesNo(parent, QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(info.fileName()))) {
            RememberFolder(path);
            return path;
        }
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
}

std::optional<QString> CQtUserPrompts::AskOpenFile(QWidget* parent, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent, QString(), StartFolder(), filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    RememberFolder(path);
    return path;
}

QStringList CQtUserPrompts::AskOpenFiles(QWidget* parent, const QString& filter) {
    const QStringList paths =
        QFileDialog::getOpenFileNames(parent, QString(), StartFolder(), filter);
    if (!paths.isEmpty()) {
        RememberFolder(paths.last());
    }
    return paths;
}

bool CQtUserPrompts::RunDialog(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace qf

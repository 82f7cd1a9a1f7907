#include "app/CQtUserPrompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "app/AppTexts.h"

namespace qf {

bool CQtUserPrompts::AskYesNo(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QString::fromLatin1(APP_TITLE), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

void CQtUserPrompts::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QString::fromLatin1(APP_TITLE), text);
}

std::optional<QString> CQtUserPrompts::AskSaveFile(QWidget* parent, const QString& proposedName,
                                                   const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().first();
}

std::optional<QString> CQtUserPrompts::AskOpenFile(QWidget* parent, const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path;
}

QStringList CQtUserPrompts::AskOpenFiles(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileNames(parent, QString(), QString(), filter);
}

bool CQtUserPrompts::RunDialog(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace qf

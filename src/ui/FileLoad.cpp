#include "ui/FileLoad.h"

#include <QDir>
#include <QFile>

#include "store/DataFileLoad.h"
#include "ui/IUserPrompts.h"

namespace qf {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool LoadDataFileWithMessages(const QString& path, CQFDoc& doc, FileViewState& view,
                              IUserPrompts& prompts, QWidget* owner) {
    const std::string local = LocalPath(path);
    const DataFileStatus status = LoadDataFile(local, doc, view);
    if (status == DataFileStatus::Ok) {
        return true;
    }
    const QString name = QDir::toNativeSeparators(path);
    if (ShowsInvalidFormat(status)) {
        prompts.ShowMessage(
            owner, QString::fromLatin1(INVALID_FORMAT_TEXT.data(), INVALID_FORMAT_TEXT.size()));
    } else if (status == DataFileStatus::CannotOpen) {
        prompts.ShowMessage(
            owner, QStringLiteral("The file %1 could not be opened: %2.")
                       .arg(name, QString::fromLocal8Bit(FileErrorText(DataFileOpenError(local)))));
    } else {
        prompts.ShowMessage(owner, QStringLiteral("The file %1 could not be read: %2.")
                                       .arg(name, QString::fromLatin1(DataFileStatusText(status))));
    }
    return false;
}

bool LoadDataFileNoting(const QString& path, CQFDoc& doc, FileViewState& view,
                        QStringList& failures) {
    const std::string local = LocalPath(path);
    const DataFileStatus status = LoadDataFile(local, doc, view);
    if (status == DataFileStatus::Ok) {
        return true;
    }
    const QString reason =
        ShowsInvalidFormat(status)
            ? QString::fromLatin1(INVALID_FORMAT_TEXT.data(), INVALID_FORMAT_TEXT.size())
        : status == DataFileStatus::CannotOpen
            ? QString::fromLocal8Bit(FileErrorText(DataFileOpenError(local)))
            : QString::fromLatin1(DataFileStatusText(status));
    failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

}  // namespace qf

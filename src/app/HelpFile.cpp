#include "app/HelpFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/AppTexts.h"

namespace qf {

QStringList HelpFileCandidates() {
    const QString name = QString::fromLatin1(HELP_FILE_NAME);
    QStringList out;
    out << QDir(QCoreApplication::applicationDirPath()).filePath(name);
#ifdef QF_DATA_DIR
    out << QDir(QStringLiteral(QF_DATA_DIR)).filePath(name);
#endif
    return out;
}

QString FindHelpFile() {
    for (const QString& path : HelpFileCandidates()) {
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return {};
}

}  // namespace qf

#include "ui/SpanExport.h"

#include <QApplication>
#include <QDir>

#include "analysis/SpanCsv.h"
#include "store/AtomicFile.h"
#include "store/RegularFile.h"
#include "store/TextExport.h"
#include "ui/FileLoad.h"
#include "ui/IUserPrompts.h"

namespace qf {

std::optional<QString> ExportSpanCsv(QWidget* parent, IUserPrompts& prompts,
                                     const StoredRecord& record, SampleSpan span,
                                     const QString& proposedName) {
    const auto chosen = prompts.AskSaveFile(parent, proposedName, QString::fromLatin1(CSV_FILE_FILTER),
                                            QStringLiteral("csv"));
    if (!chosen) {
        return std::nullopt;
    }
    std::string path = LocalPath(*chosen);
    if (!EndsWithNoCase(path, ".csv")) {
        path += ".csv";
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int error = 0;
    const bool written = WriteFileAtomically(path, BuildSpanCsv(record, span), &error);
    QApplication::restoreOverrideCursor();
    const QString shown = QDir::toNativeSeparators(QString::fromLocal8Bit(path.c_str()));
    if (!written) {
        prompts.ShowMessage(parent, QStringLiteral("The CSV could not be written to %1: %2")
                                        .arg(shown, QString::fromStdString(FileErrorText(error))));
        return std::nullopt;
    }
    return shown;
}

}  // namespace qf

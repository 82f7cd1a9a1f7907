// A data file chosen by the user, loaded all or nothing, with the one message a failure
// deserves: "Invalid Format!" for a file that is not a data file, else the file's name and
// the reason.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace qf {

class CQFDoc;
class IUserPrompts;
struct FileViewState;

// True when the file is now in the document's file area.
bool LoadDataFileWithMessages(const QString& path, CQFDoc& doc, FileViewState& view,
                              IUserPrompts& prompts, QWidget* owner);

// The same without a message: a failure adds "file: reason" to `failures`, so that a
// choice of many files is answered with one message.
bool LoadDataFileNoting(const QString& path, CQFDoc& doc, FileViewState& view,
                        QStringList& failures);

// The local file name of a path the user chose.
std::string LocalPath(const QString& path);

}  // namespace qf

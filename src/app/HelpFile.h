// Where the help text is: beside the executable (a build tree, an unpacked copy), else in
// the installed data folder.
#pragma once

#include <QString>
#include <QStringList>

namespace qf {

// The places looked at, in order.
QStringList HelpFileCandidates();

// The first candidate that exists; empty when none does.
QString FindHelpFile();

}  // namespace qf

// Where a recording goes when the program is stopped by a signal before it was saved, and
// the note that tells the next start where it went.
#pragma once

#include <optional>
#include <string>

namespace qf {

// $XDG_STATE_HOME/qf7720, else $HOME/.local/state/qf7720. A relative XDG_STATE_HOME is
// ignored, as the base directory rules say.
std::string KeptRecordingFolder();

// Creates `folder` (and a missing parent) for the owner alone; true when it is there.
bool CreateKeptFolder(const std::string& folder);

// A data file path in `folder` for the proposed name (".AsmDat" appended) that names no
// file there yet, nor its text export: "name (2).AsmDat" and so on when it does.
std::string FreeKeptPath(const std::string& folder, const std::string& proposedName);

// Leaves a note in `folder` that the recording was kept at `dataPath`; false on failure.
bool WriteKeptNote(const std::string& folder, const std::string& dataPath);
// The path a note names, once: the note is removed as it is read.
std::optional<std::string> TakeKeptNote(const std::string& folder);

}  // namespace qf

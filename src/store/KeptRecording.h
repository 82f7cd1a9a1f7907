// Where a recording goes when it could not be saved where it belongs (a signal, a full
// or vanished output folder) or while it is still running, and the notes that tell the
// next start about it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qf {

struct KeptPlace {
    std::string folder;
    // A folder of the user's own (documents): used as it is, the note in it hidden.
    bool shared = false;
};

// $XDG_STATE_HOME/qf7720, else $HOME/.local/state/qf7720. A relative XDG_STATE_HOME is
// ignored, as the base directory rules say.
std::string KeptRecordingFolder();
// $XDG_RUNTIME_DIR/qf7720, else qf7720-<uid> in the temporary directory.
std::string PrivateKeptFolder();
// In order: the state folder, `documents` (when not empty), the private folder.
std::vector<KeptPlace> KeptPlaces(const std::string& documents);

// Creates `folder` (and a missing parent) for the owner alone and checks that it is a
// folder of our own, not reached through a link at its last step; true when it is usable.
// `error` receives why not.
bool CreateKeptFolder(const std::string& folder, int* error = nullptr);

// A data file path in `folder` for the proposed name (".AsmDat" appended) that names no
// file there yet, nor its text export: "name (2).AsmDat" and so on when it does.
std::string FreeKeptPath(const std::string& folder, const std::string& proposedName);

struct KeptOutcome {
    std::string path;      // where the recording went; empty when no place took it
    std::string failedIn;  // the first place that refused it, and why
    int error = 0;
};

// Saves through `save` (0 or an errno value) into the first place that takes it, under a
// free name for `proposedName`, and leaves a note there for the next start.
KeptOutcome KeepRecording(const std::vector<KeptPlace>& places, const std::string& proposedName,
                          const std::function<int(const std::string& dataPath)>& save);

// Adds `dataPath` to the note in the place; false on failure.
bool AddKeptNote(const KeptPlace& place, const std::string& dataPath);
// The kept recordings the notes of all places name that are still there.
std::vector<std::string> ReadKeptNotes(const std::vector<KeptPlace>& places);
// Takes `dataPath` out of every note (the user has seen it, saved or dismissed it).
void ForgetKept(const std::vector<KeptPlace>& places, const std::string& dataPath);

}  // namespace qf

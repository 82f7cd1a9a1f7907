// The identities of the main window's commands; each QAction carries its id as data.
#pragma once

namespace qf {

enum CommandId : int {
    ID_RUN = 32771,
    ID_STOP = 32772,
    ID_HELP_CONTENTS = 32779,
    ID_COM1 = 32783,
    ID_COM2 = 32784,
    ID_COM3 = 32785,
    ID_COM4 = 32786,
    ID_UNDO_ZOOM = 32811,
    ID_SAVE = 32814,
    ID_OTHER_COM = 32817,
    ID_OPEN_LOGGER = 32827,
    ID_FILE_PRINT = 57607,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    // Numbers over a span and the summary report: the "Analysis" menu.
    ID_STATISTICS = 33001,
    ID_EXPORT_CSV = 33002,
    ID_FIT_Y = 33003,
    ID_PRINT_SUMMARY = 33004,  // Ctrl+Shift+P
    // Reached only through the accelerators.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
};

}  // namespace qf

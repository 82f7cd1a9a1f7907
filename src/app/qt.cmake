target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AppTexts.h
    ${CMAKE_CURRENT_LIST_DIR}/AppStyle.h
    ${CMAKE_CURRENT_LIST_DIR}/AppStyle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CQtUserPrompts.h
    ${CMAKE_CURRENT_LIST_DIR}/CQtUserPrompts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CNumberDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CNumberDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSampleRateDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CSampleRateDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CComPortDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CComPortDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CAboutDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HelpFile.h
    ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CHelpWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/CHelpWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.h
    ${CMAKE_CURRENT_LIST_DIR}/CMainFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SignalWatcher.h
    ${CMAKE_CURRENT_LIST_DIR}/SignalWatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CQFApp.h
    ${CMAKE_CURRENT_LIST_DIR}/CQFApp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPaintProbe.h
    ${CMAKE_CURRENT_LIST_DIR}/CPaintProbe.cpp
    ${PROJECT_SOURCE_DIR}/resources/app.qrc
)
# The help text is looked up beside the executable first, then where it is installed.
include(GNUInstallDirs)
set(QF_HELP_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/qf7720)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS QF_DATA_DIR="${QF_HELP_DATA_DIR}")

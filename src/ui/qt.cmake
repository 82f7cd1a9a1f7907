target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CommandIds.h
    ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.h
    ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Fonts.h
    ${CMAKE_CURRENT_LIST_DIR}/Fonts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Palette.h
    ${CMAKE_CURRENT_LIST_DIR}/IUserPrompts.h
    ${CMAKE_CURRENT_LIST_DIR}/FileLoad.h
    ${CMAKE_CURRENT_LIST_DIR}/FileLoad.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CYAxisDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CYAxisDlg.cpp
)

target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LoggerPaint.h
    ${CMAKE_CURRENT_LIST_DIR}/LoggerPaint.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CLoggerDlg.h
    ${CMAKE_CURRENT_LIST_DIR}/CLoggerDlg.cpp
)

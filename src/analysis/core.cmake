target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SpanStatistics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpanTime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpanCsv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FitY.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CursorPair.cpp
)

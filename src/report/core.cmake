target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ReportSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SummaryLayout.cpp
)

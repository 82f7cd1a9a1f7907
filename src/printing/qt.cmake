target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ReportPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TestReport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintReport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportPdf.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SummaryPainter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SummaryPdf.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PrintSummary.cpp
)

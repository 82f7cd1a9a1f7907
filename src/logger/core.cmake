target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LoggerGraph.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerPointer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerReadout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordTable.cpp
)

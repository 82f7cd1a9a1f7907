target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/GraphCore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Pixels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClockText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GraphModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CursorReadout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ZoomDrag.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TraceRaster.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerGraph.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerPointer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LoggerReadout.cpp
)

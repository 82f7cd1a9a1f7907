target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FrameDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LiveModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Pixels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClockText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GraphModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CursorReadout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ZoomState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TraceRaster.cpp
)

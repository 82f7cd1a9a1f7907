target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LiveFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LiveReading.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameAssembler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HexLine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortCheck.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameTrace.cpp
)

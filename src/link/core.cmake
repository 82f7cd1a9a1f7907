target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/LiveFrame.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameAssembler.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FrameDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PortMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MeterModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatedMeter.cpp
)
# The simulated meter runs on its own thread.
find_package(Threads REQUIRED)
target_link_libraries(qfcore PUBLIC Threads::Threads)

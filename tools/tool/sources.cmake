target_sources(qf7720-tool PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Json.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DecodeCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InfoCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SamplesCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SpanArgs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StatsCommand.cpp
)
target_include_directories(qf7720-tool PRIVATE ${CMAKE_CURRENT_LIST_DIR})
# The commands that talk to the meter need the program's link, on Qt Core and SerialPort.
if(TARGET qflink)
    target_sources(qf7720-tool PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/LiveSession.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MonitorCommand.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RecordCommand.cpp
    )
    target_link_libraries(qf7720-tool PRIVATE qflink)
    target_compile_definitions(qf7720-tool PRIVATE QF_TOOL_LIVE)
endif()

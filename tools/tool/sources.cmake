target_sources(qf7720-tool PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Json.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DecodeCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InfoCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ExportCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SamplesCommand.cpp
)
target_include_directories(qf7720-tool PRIVATE ${CMAKE_CURRENT_LIST_DIR})

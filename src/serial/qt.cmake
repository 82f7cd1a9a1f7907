# The link on Qt Core and SerialPort alone: the program and the tool's monitor and record
# share it.
add_library(qflink STATIC
    ${CMAKE_CURRENT_LIST_DIR}/QtSerialPort.h
    ${CMAKE_CURRENT_LIST_DIR}/QtSerialPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMeterLink.h
    ${CMAKE_CURRENT_LIST_DIR}/CMeterLink.cpp
)
target_link_libraries(qflink PUBLIC qfcore Qt6::Core Qt6::SerialPort)
target_link_libraries(qfqt PUBLIC qflink)

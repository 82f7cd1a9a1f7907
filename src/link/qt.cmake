target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QtSerialPort.h
    ${CMAKE_CURRENT_LIST_DIR}/QtSerialPort.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMeterLink.h
    ${CMAKE_CURRENT_LIST_DIR}/CMeterLink.cpp
)

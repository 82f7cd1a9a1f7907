# The meter model and its pseudo-terminal runner, on a thread of its own: used by the
# simulator, the program's demo mode and the tests, not by the core.
add_library(qfsim STATIC
    ${CMAKE_CURRENT_LIST_DIR}/MeterModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatedMeter.cpp
)
find_package(Threads REQUIRED)
target_link_libraries(qfsim PUBLIC qfcore Threads::Threads)

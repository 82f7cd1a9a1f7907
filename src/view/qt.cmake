target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/GraphPainting.h
    ${CMAKE_CURRENT_LIST_DIR}/GraphPainting.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CQFView.h
    ${CMAKE_CURRENT_LIST_DIR}/CQFView.cpp
)

target_sources(qfqt PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CQFView.h
    ${CMAKE_CURRENT_LIST_DIR}/CQFView.cpp
)

target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/IntegerText.cpp
)

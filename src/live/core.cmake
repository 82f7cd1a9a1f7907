target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/FrameDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LiveModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PanelState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PanelTexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReadingsLogic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LiveRecord.cpp
)

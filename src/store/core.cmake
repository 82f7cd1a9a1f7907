target_sources(qfcore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CQFDoc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StoredRecord.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ValueText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegularFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AtomicFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFileLoad.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextExport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Recording.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SaveRecording.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeptRecording.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IntegerText.cpp
)

# The program qf7720: its help text is copied beside it at every build and installed in
# the data folder.
add_custom_command(TARGET qf7720 POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/resources/help.html
            $<TARGET_FILE_DIR:qf7720>/help.html
    VERBATIM)
install(TARGETS qf7720 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Relative to the prefix, so that a staged install (DESTDIR, --prefix, cpack) stays inside it.
file(RELATIVE_PATH QF_HELP_INSTALL_DIR ${CMAKE_INSTALL_PREFIX} ${QF_HELP_DATA_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/help.html DESTINATION ${QF_HELP_INSTALL_DIR})

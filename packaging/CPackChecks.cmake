# Read by cpack for each generator. A Debian package belongs in /usr, and the program finds its
# help in the data folder of the prefix it was built for, so only a /usr build can be packaged.
if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr")
        message(FATAL_ERROR "A Debian package needs a build configured with "
                            "-DCMAKE_INSTALL_PREFIX=/usr (scripts/package does so), not "
                            "${CPACK_PACKAGING_INSTALL_PREFIX}.")
    endif()
    if(NOT CPACK_QF_MANPAGES)
        message(FATAL_ERROR "A Debian package needs the manual pages: configure with "
                            "-DQF_MANPAGES=ON (scripts/package does so).")
    endif()
endif()

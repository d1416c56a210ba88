# The release archive, ktconfig-<version>-win32.zip, made by CPack from the
# normal build (scripts/release.sh): the program, the administrators' text
# and the plug-in kit.

# The texts get Windows line ends: they are read in Notepad.
set(release_files ${CMAKE_BINARY_DIR}/release-files)
configure_file(docs/release/README.txt ${release_files}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(docs/release/BUILDING.txt ${release_files}/BUILDING.txt @ONLY NEWLINE_STYLE CRLF)
install(TARGETS ktconfig RUNTIME DESTINATION .)
install(FILES ${release_files}/README.txt DESTINATION .)
install(FILES sdk/korvane_plugin.h ${release_files}/BUILDING.txt DESTINATION plugin-kit)
install(FILES sdk/sample/sample_plugin.c sdk/sample/sample_plugin.def sdk/sample/sample_plugin.rc
        DESTINATION plugin-kit/sample)
install(TARGETS ktsample RUNTIME DESTINATION plugin-kit/sample LIBRARY DESTINATION plugin-kit/sample)

# The release command builds what the archive holds; packing must not wait
# for the test programs too.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ktconfig)
set(CPACK_PACKAGE_VENDOR "Tavrel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Korvane & Tools Configuration")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The product is the 32-bit build; a 64-bit build's archive says so.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME ktconfig-${PROJECT_VERSION}-win64)
else()
    set(CPACK_PACKAGE_FILE_NAME ktconfig-${PROJECT_VERSION}-win32)
endif()
# Unpacked, the archive makes one folder of its own name.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/release)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The release package: korvelant-<version>-win32.zip with the released
# parts' DLLs (RELEASED on their lines in cmake/Components.cmake), the help
# file, the German LIESMICH.txt and SHA256SUMS (tools/package).
# CPack's archive is rewritten in a fixed order, with the commit's time (or
# SOURCE_DATE_EPOCH) for every file and no owner ids, so that it holds the
# same bytes whenever, wherever and by whomever the commit is packaged.

# Windows-1252 with CR LF, so that every Notepad shows it as it is.
configure_file(${PROJECT_SOURCE_DIR}/docs/LIESMICH.txt.in ${CMAKE_BINARY_DIR}/generated/LIESMICH.txt
               @ONLY NEWLINE_STYLE CRLF)

set(release_files ${released_plugin_files} ${KORVELANT_PLUGIN_DIR}/korvelant.chm ${CMAKE_BINARY_DIR}/generated/LIESMICH.txt)
set(sums ${CMAKE_BINARY_DIR}/generated/SHA256SUMS)
add_custom_command(
  OUTPUT ${sums}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${sums} "-DFILES=${release_files}" -P ${PROJECT_SOURCE_DIR}/cmake/Sha256Sums.cmake
  DEPENDS ${release_files} plugins ${PROJECT_SOURCE_DIR}/cmake/Sha256Sums.cmake
  COMMENT "Checksums of the release files"
  VERBATIM)
add_custom_target(release_files ALL DEPENDS ${sums})

install(FILES ${release_files} ${sums} DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME korvelant)
set(CPACK_PACKAGE_VENDOR korvelant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME korvelant-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES OFF)  # stripped when linked
set(CPACK_KORVELANT_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageNormalize.cmake)
include(CPack)

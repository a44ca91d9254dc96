# The release package: korvelant-<version>-win32.zip with the three DLLs,
# the help file, the German LIESMICH.txt and SHA256SUMS (tools/package).
#
# The files are gathered in release/ with the commit's time (or that of
# SOURCE_DATE_EPOCH) as their modification time, and installed from there;
# installing keeps a file's time, so the archive holds the same bytes
# whenever and wherever the commit is packaged.
set(release_dir ${CMAKE_BINARY_DIR}/release)

# Windows-1252 with CR LF, so that every Notepad shows it as it is.
configure_file(${PROJECT_SOURCE_DIR}/docs/LIESMICH.txt.in ${CMAKE_BINARY_DIR}/generated/LIESMICH.txt
               @ONLY NEWLINE_STYLE CRLF)

set(release_files ${plugin_files} ${KORVELANT_PLUGIN_DIR}/korvelant.chm ${CMAKE_BINARY_DIR}/generated/LIESMICH.txt)
set(staged_files)
foreach(file ${release_files})
  get_filename_component(name ${file} NAME)
  list(APPEND staged_files ${release_dir}/${name})
endforeach()
add_custom_command(
  OUTPUT ${staged_files} ${release_dir}/SHA256SUMS
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DRELEASE_DIR=${release_dir}
          "-DFILES=${release_files}" -P ${PROJECT_SOURCE_DIR}/cmake/StageRelease.cmake
  DEPENDS ${release_files} plugins ${PROJECT_SOURCE_DIR}/cmake/StageRelease.cmake
  COMMENT "Gathering the release files in release/"
  VERBATIM)
add_custom_target(release_files ALL DEPENDS ${staged_files} ${release_dir}/SHA256SUMS)

install(FILES ${staged_files} ${release_dir}/SHA256SUMS DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME korvelant)
set(CPACK_PACKAGE_VENDOR korvelant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME korvelant-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES OFF)  # stripped when linked
include(CPack)

# The recorders' own package for a teacher: korvelant-recorder-<version>-
# win32.zip beside the release package, with the three recorders and the
# German LIESMICH.txt (Windows-1252, CR LF) that says how to put one in a
# part's place, record, find the trace and put everything back. The same
# bytes whenever the commit is packaged, as the release package.
configure_file(${PROJECT_SOURCE_DIR}/docs/recorder/LIESMICH.txt.in ${CMAKE_BINARY_DIR}/generated/recorder/LIESMICH.txt
               @ONLY NEWLINE_STYLE CRLF)
include(${PROJECT_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
korvelant_source_date_epoch(${PROJECT_SOURCE_DIR} recorder_epoch)
set(recorder_stage ${CMAKE_BINARY_DIR}/generated/recorder)
set(recorder_zip ${CMAKE_BINARY_DIR}/package/korvelant-recorder-${PROJECT_VERSION}-win32.zip)
list(TRANSFORM KORVELANT_RELEASED_COMPONENTS REPLACE "^.+$" "${KORVELANT_PLUGIN_DIR}/recorders/\\0.dll"
     OUTPUT_VARIABLE released_recorders)
list(TRANSFORM KORVELANT_RELEASED_COMPONENTS REPLACE "^.+$" "\\0.dll" OUTPUT_VARIABLE recorder_names)
add_custom_command(
  OUTPUT ${recorder_zip}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
  COMMAND ${CMAKE_COMMAND} -E copy ${released_recorders} ${recorder_stage}/
  COMMAND ${CMAKE_COMMAND} -E rm -f ${recorder_zip}
  COMMAND ${CMAKE_COMMAND} -E chdir ${recorder_stage} ${CMAKE_COMMAND} -E tar cf ${recorder_zip} --format=zip
          LIESMICH.txt ${recorder_names}
  COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/normalize-zip ${recorder_epoch} ${recorder_zip}
  DEPENDS plugins ${released_recorders} ${recorder_stage}/LIESMICH.txt ${PROJECT_SOURCE_DIR}/tools/normalize-zip
  COMMENT "The recorders' package"
  VERBATIM)
add_custom_target(recorder_package ALL DEPENDS ${recorder_zip})

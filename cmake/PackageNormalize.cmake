# CPack's last step: the archive rewritten so that it holds the same bytes
# wherever and by whomever it is packed (tools/normalize-zip).
include(${CPACK_KORVELANT_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
korvelant_source_date_epoch(${CPACK_KORVELANT_SOURCE_DIR} epoch)
find_program(PYTHON3 python3 REQUIRED)
execute_process(COMMAND ${PYTHON3} ${CPACK_KORVELANT_SOURCE_DIR}/tools/normalize-zip ${epoch} ${CPACK_PACKAGE_FILES}
                COMMAND_ERROR_IS_FATAL ANY)

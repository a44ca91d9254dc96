# Gathers the release's files in RELEASE_DIR, writes their SHA256SUMS and
# gives them all one modification time: SOURCE_DATE_EPOCH when it is set,
# else the time of the commit checked out in SOURCE_DIR.
# Usage: cmake -DSOURCE_DIR=... -DRELEASE_DIR=... -DFILES=a;b;c -P StageRelease.cmake
file(REMOVE_RECURSE ${RELEASE_DIR})
file(MAKE_DIRECTORY ${RELEASE_DIR})

set(sums "")
set(names)
foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  file(COPY ${file} DESTINATION ${RELEASE_DIR})
  file(SHA256 ${file} sum)
  string(APPEND sums "${sum}  ${name}\n")
  list(APPEND names ${name})
endforeach()
file(WRITE ${RELEASE_DIR}/SHA256SUMS "${sums}")
list(APPEND names SHA256SUMS)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
  if(failed OR epoch STREQUAL "")
    set(epoch 315532800)  # 1980-01-01, the earliest time a zip entry can hold
  endif()
endif()
foreach(name ${names})
  execute_process(COMMAND touch -d @${epoch} ${RELEASE_DIR}/${name} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

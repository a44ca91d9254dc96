# The release settings of everything a user loads into the host: the
# plug-ins (cmake/Plugins.cmake) and the recorders (recorder/).
#
# No processor beyond the Pentium Pro is required (no SSE), and the host may
# call with the stack aligned to 4 bytes only. Everything is linked
# statically, so the DLLs import nothing but Windows system DLLs.
#
# The same sources give the same bytes in any folder at any time: no link
# time stamp (PE header, export directory, hence checksum), no build path in
# the image, no symbols or debug sections. The header's version fields say
# Windows XP (5.1), the oldest system the host runs on.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Release")
  message(FATAL_ERROR "the plug-ins are built with the release settings only (CMAKE_BUILD_TYPE=Release)")
endif()
add_compile_options(-march=pentiumpro -mfpmath=387 -mincoming-stack-boundary=2
                    -Wall -Wextra -Werror
                    -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
add_link_options(-static -s -Wl,--no-insert-timestamp
                 -Wl,--major-os-version,5,--minor-os-version,1
                 -Wl,--major-subsystem-version,5,--minor-subsystem-version,1)

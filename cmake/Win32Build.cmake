enable_language(RC ASM)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# No processor beyond the Pentium Pro is required (no SSE), and the host may
# call with the stack aligned to 4 bytes only. Everything is linked
# statically, so the DLLs import nothing but Windows system DLLs.
add_compile_options(-march=pentiumpro -mfpmath=387 -mincoming-stack-boundary=2
                    -Wall -Wextra -Werror)
add_link_options(-static)

add_library(frame STATIC
  frame/signal_value.cpp
  frame/persistence.cpp
  frame/library_state.cpp
  frame/project_file.cpp
  frame/help_launcher.cpp
  frame/dialog_help.cpp
  frame/parameter_dialog.cpp)
target_include_directories(frame PUBLIC frame)

# One deliverable: the frame's entry points compiled against the component
# that the folder's plugin.h names, the folder's export list and resources.
function(add_plugin name folder)
  add_library(${name} SHARED frame/entry_points.cpp ${ARGN} ${folder}/${name}.def ${folder}/${name}.rc)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  target_include_directories(${name} PRIVATE ${folder})
  target_link_libraries(${name} PRIVATE frame)
endfunction()

add_plugin(Tamberlo decoder decoder/segment_decoder.cpp)
add_plugin(Quenvik adder adder/full_adder.cpp)
add_plugin(Morrel shiftreg shiftreg/shift_register.cpp)

# The compiled help file beside the DLLs, where their "Hilfe" buttons look
# for it. Committed prebuilt (tools/build-help makes it), so only copied.
configure_file(${PROJECT_SOURCE_DIR}/docs/help/korvelant.chm ${CMAKE_BINARY_DIR}/bin/korvelant.chm COPYONLY)

add_subdirectory(host)
add_subdirectory(tests/wine)
add_subdirectory(tests/host)

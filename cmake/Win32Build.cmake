enable_language(RC ASM)

# The inner tree of the shipped DLLs (see cmake/Plugins.cmake).
if(KORVELANT_PLUGINS_ONLY)
  include(cmake/Plugins.cmake)
  return()
endif()

# What ships, and hostsim.exe, which finds the DLLs beside itself, go to
# bin/; test programs and test DLLs to tests/.
set(KORVELANT_PLUGIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(KORVELANT_TEST_DIR ${CMAKE_BINARY_DIR}/tests)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KORVELANT_TEST_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${KORVELANT_TEST_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

add_compile_options(-march=pentiumpro -mfpmath=387 -mincoming-stack-boundary=2
                    -Wall -Wextra -Werror)
add_link_options(-static)

# Beside hostsim, for `project save` without parts and `demo`: the list of
# the parts' DLLs in the order of their lines, and each part's demo run,
# its folder's demo.stim, as demo/NAME.stim.
list(TRANSFORM KORVELANT_COMPONENTS APPEND ".dll" OUTPUT_VARIABLE listed_dlls)
list(JOIN listed_dlls "\n" listed_dlls)
file(GENERATE OUTPUT ${KORVELANT_PLUGIN_DIR}/parts.txt CONTENT "${listed_dlls}\n")
foreach(name ${KORVELANT_COMPONENTS})
  set(demo_run ${PROJECT_SOURCE_DIR}/${KORVELANT_${name}_FOLDER}/demo.stim)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${KORVELANT_${name}_FOLDER})
  if(EXISTS ${demo_run})
    configure_file(${demo_run} ${KORVELANT_PLUGIN_DIR}/demo/${name}.stim COPYONLY)
  endif()
endforeach()

# The plug-in DLLs, released or not, by the win32-thread-model compilers in
# a tree of their own (plugins/), straight into bin/. Built on every build of this tree; the
# inner build decides what is out of date.
include(ExternalProject)
list(TRANSFORM KORVELANT_COMPONENTS REPLACE "^.+$" "${KORVELANT_PLUGIN_DIR}/\\0.dll" OUTPUT_VARIABLE plugin_files)
list(TRANSFORM KORVELANT_RELEASED_COMPONENTS REPLACE "^.+$" "${KORVELANT_PLUGIN_DIR}/\\0.dll"
     OUTPUT_VARIABLE released_plugin_files)
list(TRANSFORM KORVELANT_COMPONENTS REPLACE "^.+$" "${KORVELANT_PLUGIN_DIR}/recorders/\\0.dll" OUTPUT_VARIABLE recorder_files)
list(TRANSFORM KORVELANT_COMPONENTS REPLACE "^.+$" "${CMAKE_BINARY_DIR}/settings/\\0.json" OUTPUT_VARIABLE settings_files)
ExternalProject_Add(plugins
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/plugins
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/i686-w64-mingw32-win32.cmake
             -DCMAKE_BUILD_TYPE=Release -DKORVELANT_PLUGINS_ONLY=ON
             -DKORVELANT_PLUGIN_DIR=${KORVELANT_PLUGIN_DIR} -DKORVELANT_SETTINGS_DIR=${CMAKE_BINARY_DIR}/settings
             -DKORVELANT_TEST_PART_DIR=${KORVELANT_TEST_DIR}
  BUILD_ALWAYS ON
  LOG_CONFIGURE ON LOG_OUTPUT_ON_FAILURE ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${plugin_files} ${recorder_files} ${settings_files} ${KORVELANT_TEST_DIR}/EveryControl.dll)
# The tests name the DLLs as targets, as if this tree built them.
foreach(plugin ${KORVELANT_COMPONENTS})
  add_library(${plugin} SHARED IMPORTED GLOBAL)
  set_target_properties(${plugin} PROPERTIES IMPORTED_LOCATION ${KORVELANT_PLUGIN_DIR}/${plugin}.dll)
  add_dependencies(${plugin} plugins)
endforeach()

# The compiled help file beside the DLLs, where their "Hilfe" buttons look
# for it, compiled from docs/help by tools/build-help (Free Pascal's chm
# unit, mended in a temporary copy).
file(GLOB_RECURSE help_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/help/*)
add_custom_command(
  OUTPUT ${KORVELANT_PLUGIN_DIR}/korvelant.chm
  COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/build-help ${PROJECT_SOURCE_DIR}/docs/help ${KORVELANT_PLUGIN_DIR}/korvelant.chm
          ${PROJECT_VERSION}
  DEPENDS ${help_sources} ${PROJECT_SOURCE_DIR}/tools/build-help
  COMMENT "Compiling the help file korvelant.chm"
  VERBATIM)
add_custom_target(help_file ALL DEPENDS ${KORVELANT_PLUGIN_DIR}/korvelant.chm)

# `cpack` packs what release_files gathered; it need not build the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
include(cmake/Release.cmake)
include(recorder/Package.cmake)

add_subdirectory(host)
add_subdirectory(tests/wine)
add_subdirectory(tests/release)
add_subdirectory(tests/host)
add_subdirectory(tests/recorder)

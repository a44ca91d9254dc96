# The plug-in DLLs, one per part, built with the release settings whatever
# the tree's build type: what a user receives is always this build.
set(KORVELANT_PLUGIN_DIR ${CMAKE_BINARY_DIR}/bin CACHE PATH "Where the shipped DLLs are built")
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KORVELANT_PLUGIN_DIR})
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
include(${CMAKE_CURRENT_LIST_DIR}/ReleaseFlags.cmake)

# The one version number of the release, for the version resources.
string(REPLACE "." "," KORVELANT_VERSION_FIELDS ${PROJECT_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/frame/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)

add_library(frame STATIC
  frame/signal_value.cpp
  frame/persistence.cpp
  frame/library_state.cpp
  frame/project_file.cpp
  frame/help_launcher.cpp
  frame/dialog_help.cpp
  frame/parameter_dialog.cpp)
target_include_directories(frame PUBLIC frame)

# A DLL's export list, written into the build tree from the one template
# all parts share (frame/exports.def.in): its LIBRARY line, and every export
# but the optional ones its line leaves out.
set(KORVELANT_EXPORTS_TEMPLATE ${PROJECT_SOURCE_DIR}/frame/exports.def.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KORVELANT_EXPORTS_TEMPLATE})
function(korvelant_export_list name result)
  file(READ ${KORVELANT_EXPORTS_TEMPLATE} exports)
  foreach(left_out ${KORVELANT_${name}_EXPORTS_LEFT_OUT})
    string(REGEX REPLACE "; optional\n  ${left_out} = [^\n]*\n" "" shorter "${exports}")
    if(shorter STREQUAL exports)
      message(FATAL_ERROR "${name} leaves out ${left_out}, which is no optional export of ${KORVELANT_EXPORTS_TEMPLATE}")
    endif()
    set(exports "${shorter}")
  endforeach()
  string(REGEX REPLACE ";[^\n]*\n" "" exports "${exports}")
  set(KORVELANT_DLL ${name})
  set(def ${CMAKE_BINARY_DIR}/generated/${name}.def)
  file(CONFIGURE OUTPUT ${def} CONTENT "${exports}" @ONLY)
  set(${result} ${def} PARENT_SCOPE)
endfunction()

# What a part's settings declaration gives besides code (its dialog's
# template, its lists' items, the description the help's settings table is
# made from) comes from a generator compiled for the build machine against
# the part (frame/settings_resources.cpp); it refuses a declaration the
# frame cannot serve, naming the setting. Text is checked first: a character
# the host cannot show is named with its file and line (tools/check-text).
find_program(KORVELANT_BUILD_CXX NAMES c++ g++ clang++ REQUIRED DOC "The build machine's C++ compiler")
set(KORVELANT_SETTINGS_DIR ${CMAKE_BINARY_DIR}/settings CACHE PATH "Where each part's settings description goes")
set(KORVELANT_TEST_PART_DIR ${CMAKE_BINARY_DIR}/tests CACHE PATH "Where the tests' own parts are built")
file(GLOB frame_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/frame/*.h)
function(korvelant_settings_resources name result)
  set(folder ${PROJECT_SOURCE_DIR}/${KORVELANT_${name}_FOLDER})
  set(out ${CMAKE_BINARY_DIR}/generated/${name})
  file(MAKE_DIRECTORY ${out})
  file(GLOB part_files CONFIGURE_DEPENDS ${folder}/*.h ${folder}/*.cpp)
  korvelant_component_sources(${name} sources)
  add_custom_command(
    OUTPUT ${out}/text_checked
    COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/check-text ${part_files}
    COMMAND ${CMAKE_COMMAND} -E touch ${out}/text_checked
    DEPENDS ${part_files} ${PROJECT_SOURCE_DIR}/tools/check-text
    COMMENT "Checking the text of ${name}"
    VERBATIM)
  add_custom_command(
    OUTPUT ${out}/settings_resources
    COMMAND ${KORVELANT_BUILD_CXX} -std=c++17 -I${folder} -I${PROJECT_SOURCE_DIR}/frame
            ${PROJECT_SOURCE_DIR}/frame/settings_resources.cpp ${sources} ${PROJECT_SOURCE_DIR}/frame/signal_value.cpp
            -o ${out}/settings_resources
    DEPENDS ${out}/text_checked ${part_files} ${frame_headers} ${PROJECT_SOURCE_DIR}/frame/settings_resources.cpp
    COMMENT "Compiling ${name}'s settings generator for this machine"
    VERBATIM)
  add_custom_command(
    OUTPUT ${out}/settings_dialog.rc ${out}/list_items.bin ${KORVELANT_SETTINGS_DIR}/${name}.json
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVELANT_SETTINGS_DIR}
    COMMAND ${out}/settings_resources ${name} ${out}/settings_dialog.rc ${out}/list_items.bin
            ${KORVELANT_SETTINGS_DIR}/${name}.json
    DEPENDS ${out}/settings_resources
    COMMENT "Making ${name}'s dialog resources from its settings"
    VERBATIM)
  set(${result} ${out} PARENT_SCOPE)
endfunction()

# One deliverable: the frame's entry points compiled against the component
# that the folder's plugin.h names, the DLL's export list and the folder's
# resources. Every DLL compiles every entry point; its export list decides
# which the host sees. Each DLL has an image base of its own, so that the
# host loads all of them without relocating any (the linker would otherwise
# derive one from the output path, and the bytes would depend on the build
# folder). Only the part's own folder is on its include path.
function(korvelant_plugin name)
  set(folder ${KORVELANT_${name}_FOLDER})
  korvelant_component_sources(${name} sources)
  korvelant_export_list(${name} def)
  korvelant_settings_resources(${name} generated)
  add_library(${name} SHARED frame/entry_points.cpp ${sources} ${def} ${folder}/${name}.rc
                             ${generated}/settings_dialog.rc)
  set_source_files_properties(${generated}/settings_dialog.rc PROPERTIES HEADER_FILE_ONLY ON)
  set_source_files_properties(${folder}/${name}.rc PROPERTIES OBJECT_DEPENDS
                              "${generated}/settings_dialog.rc;${generated}/list_items.bin")
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  target_link_options(${name} PRIVATE -Wl,--image-base,${KORVELANT_${name}_IMAGE_BASE})
  target_include_directories(${name} PRIVATE ${folder} ${CMAKE_BINARY_DIR}/generated ${generated})
  target_link_libraries(${name} PRIVATE frame)
endfunction()
foreach(name ${KORVELANT_COMPONENTS})
  korvelant_plugin(${name})
endforeach()

# A part of the tests' own, built the same way but kept out of bin/: one
# setting of each kind in the layout the frame makes (tests/wine/every_control).
set(KORVELANT_EveryControl_FOLDER tests/wine/every_control)
set(KORVELANT_EveryControl_IMAGE_BASE 0x6F000000)
korvelant_plugin(EveryControl)
set_target_properties(EveryControl PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KORVELANT_TEST_PART_DIR})

# A recorder for each part, made from its DLL (recorder/).
add_subdirectory(recorder)

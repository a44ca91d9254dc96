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

# One deliverable: the frame's entry points compiled against the component
# that the folder's plugin.h names, the DLL's export list and the folder's
# resources. Every DLL compiles every entry point; its export list decides
# which the host sees. Each DLL has an image base of its own, so that the
# host loads all of them without relocating any (the linker would otherwise
# derive one from the output path, and the bytes would depend on the build
# folder). Only the part's own folder is on its include path.
foreach(name ${KORVELANT_COMPONENTS})
  set(folder ${KORVELANT_${name}_FOLDER})
  korvelant_component_sources(${name} sources)
  korvelant_export_list(${name} def)
  add_library(${name} SHARED frame/entry_points.cpp ${sources} ${def} ${folder}/${name}.rc)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  target_link_options(${name} PRIVATE -Wl,--image-base,${KORVELANT_${name}_IMAGE_BASE})
  target_include_directories(${name} PRIVATE ${folder} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PRIVATE frame)
endforeach()

# A recorder for each part, made from its DLL (recorder/).
add_subdirectory(recorder)

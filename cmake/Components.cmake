# The parts, one line each (docs/new-component.md; tools/new-part writes
# one):
#   the DLL's name;
#   its folder: the component's class and sources (every .cpp directly in
#     it, none of its subfolders), plugin.h, ids.h, the .rc files and the
#     pictures' recipe artwork.py;
#   the DLL's image base, one of its own;
#   RELEASED when the DLL is in the release package;
#   after WITHOUT, the optional exports of frame/exports.def.in the DLL
#     leaves out.
# Both builds make everything of a part from its line, released or not: the
# DLL with its export list, its core library and its native tests, every
# FOLDER/test/*_test.cpp (the DLL leaves that subfolder out).
set(KORVELANT_COMPONENTS)
set(KORVELANT_RELEASED_COMPONENTS)
function(korvelant_component name folder image_base)
  cmake_parse_arguments(PARSE_ARGV 3 part "RELEASED" "" "WITHOUT")
  if(part_UNPARSED_ARGUMENTS)
    list(JOIN part_UNPARSED_ARGUMENTS " " words)
    message(FATAL_ERROR "the line of ${name} ends in words it does not know: ${words}")
  endif()
  set(KORVELANT_COMPONENTS ${KORVELANT_COMPONENTS} ${name} PARENT_SCOPE)
  if(part_RELEASED)
    set(KORVELANT_RELEASED_COMPONENTS ${KORVELANT_RELEASED_COMPONENTS} ${name} PARENT_SCOPE)
  endif()
  set(KORVELANT_${name}_FOLDER ${folder} PARENT_SCOPE)
  set(KORVELANT_${name}_IMAGE_BASE ${image_base} PARENT_SCOPE)
  set(KORVELANT_${name}_EXPORTS_LEFT_OUT ${part_WITHOUT} PARENT_SCOPE)
endfunction()

#                   DLL       folder    image base
korvelant_component(Tamberlo  decoder   0x63400000  RELEASED)
korvelant_component(Quenvik   adder     0x63600000  RELEASED)
korvelant_component(Morrel    shiftreg  0x63800000  RELEASED  WITHOUT SetEnhancedInformation2)

# The behaviour of a part: every .cpp directly in its folder.
function(korvelant_component_sources name result)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${KORVELANT_${name}_FOLDER}/*.cpp)
  set(${result} ${sources} PARENT_SCOPE)
endfunction()

# The native tests of a part's logic: every *_test.cpp in its folder's test/.
function(korvelant_component_native_tests name result)
  set(folder ${KORVELANT_${name}_FOLDER})
  file(GLOB tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/test/*_test.cpp)
  if(NOT tests)
    message(FATAL_ERROR "${name} has no native test: ${folder}/test/ holds no *_test.cpp")
  endif()
  set(${result} ${tests} PARENT_SCOPE)
endfunction()

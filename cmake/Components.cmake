# The parts of the release, one line each: the DLL's name, its folder (the
# component's class and sources, its plugin.h, ids.h, .def and .rc), the
# DLL's image base, and the native test of its logic in tests/native. Both
# builds make everything of a part from its line: the DLL, its core library
# and its native tests.
set(KORVELANT_COMPONENTS)
macro(korvelant_component name folder image_base native_test)
  list(APPEND KORVELANT_COMPONENTS ${name})
  set(KORVELANT_${name}_FOLDER ${folder})
  set(KORVELANT_${name}_IMAGE_BASE ${image_base})
  set(KORVELANT_${name}_NATIVE_TEST ${native_test})
endmacro()

#                   DLL       folder    image base  native test
korvelant_component(Tamberlo  decoder   0x63400000  segment_decoder_test.cpp)
korvelant_component(Quenvik   adder     0x63600000  full_adder_test.cpp)
korvelant_component(Morrel    shiftreg  0x63800000  shift_register_test.cpp)

# The behaviour of a part: every .cpp of its folder.
function(korvelant_component_sources name result)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${KORVELANT_${name}_FOLDER}/*.cpp)
  set(${result} ${sources} PARENT_SCOPE)
endfunction()

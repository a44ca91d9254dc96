option(SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FUZZ "Build the fuzz targets (clang) instead of the unit tests" OFF)
add_compile_options(-Wall -Wextra -Werror)
if(FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The part of the frame that does not touch the platform, and each part's
# component on it, with only its own folder on its include path.
add_library(frame_core STATIC
  frame/signal_value.cpp
  frame/persistence.cpp
  frame/help_launcher.cpp)
target_include_directories(frame_core PUBLIC frame)
foreach(name ${KORVELANT_COMPONENTS})
  korvelant_component_sources(${name} sources)
  add_library(${name}_core STATIC ${sources})
  target_include_directories(${name}_core PUBLIC ${KORVELANT_${name}_FOLDER})
  target_link_libraries(${name}_core PUBLIC frame_core)
endforeach()

# hostsim's readers of users' and recorders' files.
include(host/engine/readers.cmake)

if(FUZZ)
  add_subdirectory(tests/fuzz)
else()
  add_subdirectory(tests/native)
  add_subdirectory(tests/tools)
endif()

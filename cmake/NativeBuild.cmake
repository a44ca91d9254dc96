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

# The part of the frame and the components that does not touch the platform.
add_library(core STATIC
  frame/signal_value.cpp
  frame/persistence.cpp
  frame/help_launcher.cpp
  adder/full_adder.cpp
  decoder/segment_decoder.cpp
  shiftreg/shift_register.cpp)
target_include_directories(core PUBLIC frame adder decoder shiftreg)

if(FUZZ)
  add_subdirectory(tests/fuzz)
else()
  add_subdirectory(tests/native)
endif()

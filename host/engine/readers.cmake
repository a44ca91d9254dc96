# The readers of what a user or a recorder hands hostsim (test vectors,
# stimuli, the project file's layout, call traces) and the text they need.
# Nothing in them touches the platform, so the native presets build them
# too: their unit tests and fuzz targets run there, fast and under the
# sanitizers, while hostsim_engine links the same library under Wine.
include(${PROJECT_SOURCE_DIR}/host/driver/utf16.cmake)
set(host_engine_dir ${PROJECT_SOURCE_DIR}/host/engine)
add_library(host_readers STATIC
  ${host_engine_dir}/columns.cpp
  ${host_engine_dir}/project_format.cpp
  ${host_engine_dir}/shown_text.cpp
  ${host_engine_dir}/stimulus.cpp
  ${host_engine_dir}/trace_reader.cpp
  ${host_engine_dir}/vectors.cpp)
# failure.h, words.h and the UTF-16 of host/driver; the rest of that folder
# is the platform's.
target_include_directories(host_readers PUBLIC ${host_engine_dir} ${PROJECT_SOURCE_DIR}/host/driver
                                               ${PROJECT_SOURCE_DIR}/interface)
target_link_libraries(host_readers PUBLIC host_utf16)

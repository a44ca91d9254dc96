# The readers of what a user or a recorder hands hostsim (test vectors,
# stimuli, the project file's layout, call traces) and the text they need.
# Nothing in them touches the platform, so the native presets build them
# too: their unit tests and fuzz targets run there, fast and under the
# sanitizers, while hostsim_core links the same library under Wine.
set(host_core_dir ${PROJECT_SOURCE_DIR}/host/core)
add_library(host_readers STATIC
  ${host_core_dir}/project_format.cpp
  ${host_core_dir}/stimulus.cpp
  ${host_core_dir}/text.cpp
  ${host_core_dir}/trace_reader.cpp
  ${host_core_dir}/vectors.cpp)
# failure.h alone of host/driver; the rest of that folder is the platform's.
target_include_directories(host_readers PUBLIC ${host_core_dir} ${PROJECT_SOURCE_DIR}/host/driver
                                               ${PROJECT_SOURCE_DIR}/interface)

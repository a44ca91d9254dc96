# UTF-16 (utf16.cpp), which needs no platform but for the system's wide
# strings: the readers take it on every platform, the driver under Wine.
if(NOT TARGET host_utf16)
  add_library(host_utf16 STATIC ${CMAKE_CURRENT_LIST_DIR}/utf16.cpp)
  target_include_directories(host_utf16 PUBLIC ${CMAKE_CURRENT_LIST_DIR})
endif()

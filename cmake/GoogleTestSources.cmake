# GoogleTest built from Debian's sources, for builds whose target has no
# GoogleTest package (Windows, the browser), in the including folder's build
# folder.
set(TAVRIN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
if(EMSCRIPTEN)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(${TAVRIN_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)

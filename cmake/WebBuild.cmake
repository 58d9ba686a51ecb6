# tavrin.html inside a desktop build: the browser tests and the packages need
# it, and it is built with emscripten's toolchain, so it is a build of this
# source tree of its own (build/<preset>/web), configured as the preset `web`
# configures it. Without emscripten there is none; TAVRIN_WEB_HTML is then
# empty.
set(TAVRIN_WEB_HTML "")
# The sanitizer build runs no program tests, and in a Windows build only the
# zip, made from the build without tests, carries the page.
if(TAVRIN_SANITIZE OR (WIN32 AND TAVRIN_BUILD_TESTS))
  return()
endif()
# Looked for on the build machine, also when cross-building for Windows.
find_file(TAVRIN_EMSCRIPTEN_TOOLCHAIN Emscripten.cmake
          PATHS /usr/share/emscripten/cmake/Modules/Platform /usr/lib/emscripten/cmake/Modules/Platform
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
option(TAVRIN_BUILD_WEB "Build tavrin.html (needs emscripten)" ON)
if(NOT TAVRIN_BUILD_WEB OR NOT TAVRIN_EMSCRIPTEN_TOOLCHAIN)
  message(STATUS "tavrin.html is not built: emscripten's toolchain was not found")
  return()
endif()
include(ExternalProject)
ExternalProject_Add(tavrin_web
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${PROJECT_BINARY_DIR}/web
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${TAVRIN_EMSCRIPTEN_TOOLCHAIN} -DCMAKE_BUILD_TYPE=MinSizeRel
             -DTAVRIN_BUILD_TESTS=${TAVRIN_BUILD_TESTS} -DTAVRIN_BUILD_BENCH=OFF
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${PROJECT_BINARY_DIR}/web/tavrin.html ${PROJECT_BINARY_DIR}/web/contract_web.html
  USES_TERMINAL_BUILD ON)
set(TAVRIN_WEB_HTML ${PROJECT_BINARY_DIR}/web/tavrin.html)

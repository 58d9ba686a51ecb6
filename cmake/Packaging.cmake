# What a user downloads: on Linux a Debian package (`cpack --preset deb`),
# for Windows a portable zip (`cpack --preset windows`). The version is the
# project's own (project() in the top-level CMakeLists.txt).
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "Tavrin Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pop-up window scripts for web pages, ready to paste")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tavrin.example/tavrin/")
set(TAVRIN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

if(WIN32)
  # A folder to unpack anywhere: tavrin.exe and a short README.txt, nothing to install.
  install(TARGETS tavrin RUNTIME DESTINATION .)
  configure_file(${TAVRIN_PACKAGING_DIR}/README.txt.in ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY
                 NEWLINE_STYLE WIN32)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
  # Tavrin in the browser, beside the program.
  if(TAVRIN_WEB_HTML)
    install(FILES ${TAVRIN_WEB_HTML} DESTINATION .)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tavrin-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

# The manual pages and the Debian changelog are installed compressed, as
# Debian's policy wants them: gzip -9 without a name or time stamp inside.
set(TAVRIN_GZIPPED)
function(tavrin_gzip source output)
  add_custom_command(OUTPUT ${output} COMMAND gzip -9nc ${source} > ${output} DEPENDS ${source} VERBATIM)
  set(TAVRIN_GZIPPED ${TAVRIN_GZIPPED} ${output} PARENT_SCOPE)
endfunction()
set(gz ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${gz})
tavrin_gzip(${TAVRIN_PACKAGING_DIR}/tavrin.1 ${gz}/tavrin.1.gz)
tavrin_gzip(${TAVRIN_PACKAGING_DIR}/tavrin-cli.1 ${gz}/tavrin-cli.1.gz)

# The package's changelog entry and the software centre's release carry the
# version's release date, in the form each of them wants.
execute_process(COMMAND env LC_ALL=C date -u -d "${TAVRIN_RELEASE_DATE} 12:00" "+%a, %d %b %Y %H:%M:%S +0000"
                OUTPUT_VARIABLE TAVRIN_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${TAVRIN_PACKAGING_DIR}/changelog.Debian.in ${gz}/changelog.Debian @ONLY)
tavrin_gzip(${gz}/changelog.Debian ${gz}/changelog.Debian.gz)
configure_file(${TAVRIN_PACKAGING_DIR}/tavrin.metainfo.xml.in ${gz}/example.tavrin.Tavrin.metainfo.xml @ONLY)
add_custom_target(tavrin_packaging_files ALL DEPENDS ${TAVRIN_GZIPPED})

install(FILES ${gz}/tavrin.1.gz ${gz}/tavrin-cli.1.gz DESTINATION share/man/man1)
install(FILES ${gz}/example.tavrin.Tavrin.metainfo.xml DESTINATION share/metainfo)
# Tavrin in the browser: one page to open from disk or put on any web server.
if(TAVRIN_WEB_HTML)
  install(FILES ${TAVRIN_WEB_HTML} DESTINATION share/tavrin)
endif()
# What only a Debian package holds; `cmake --install` leaves it out.
install(FILES ${TAVRIN_PACKAGING_DIR}/copyright ${gz}/changelog.Debian.gz DESTINATION share/doc/tavrin
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${TAVRIN_PACKAGING_DIR}/lintian-overrides DESTINATION share/lintian/overrides RENAME tavrin
        COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tavrin Software <packages@tavrin.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_FILE ${TAVRIN_PACKAGING_DIR}/description.txt)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

# tavrin_public_headers(<target> <folder> [<pattern>...]): the headers of
# <folder> (a path from the top of the source tree) that match the patterns
# (*.h when none is given) become <target>'s include tree, under their usual
# paths ("framework/Dialog.h"). The tree is a folder of the build holding
# links to just those files, so a target sees the headers of the libraries it
# links and of no other: an include that crosses the layers fails to compile.
function(tavrin_public_headers target folder)
  set(patterns ${ARGN})
  if(NOT patterns)
    set(patterns *.h)
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  foreach(pattern IN LISTS patterns)
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/${folder}
         ${PROJECT_SOURCE_DIR}/${folder}/${pattern})
    foreach(header IN LISTS headers)
      set(link ${root}/${folder}/${header})
      get_filename_component(linkFolder ${link} DIRECTORY)
      file(MAKE_DIRECTORY ${linkFolder})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${header} ${link} SYMBOLIC)
    endforeach()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

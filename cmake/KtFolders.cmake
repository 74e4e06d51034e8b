# Each folder of the source tree is a layer with its own library target. A
# header is reached as "folder/file.h", and only by targets that link the
# folder's target: the folder is published through an include directory of
# its own in the build tree, holding a link named after the folder, so the
# source root is never an include path and a wrong include fails to build.
#
#   kt_publish_folder(<target> [AS <path>])   <path> defaults to the folder name
function(kt_publish_folder target)
  cmake_parse_arguments(ARG "" "AS" "" ${ARGN})
  if(ARG_AS)
    set(name ${ARG_AS})
  else()
    get_filename_component(name "${CMAKE_CURRENT_SOURCE_DIR}" NAME)
  endif()
  string(REPLACE "/" "_" slot "${name}")
  set(root "${CMAKE_BINARY_DIR}/include/${slot}")
  set(link "${root}/${name}")
  if(NOT EXISTS "${link}")
    get_filename_component(parent "${link}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${link}" SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()

# A plug-in module that exports only the entry points its version script
# names, with every symbol resolved at link time (except in fuzz builds,
# whose sanitizer runtime comes with the program that loads the module).
#   kt_export_only(<target> <version-script>)
function(kt_export_only target script)
  target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--exclude-libs,ALL)
  if(NOT KT_BUILD_FUZZ)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
endfunction()

# Turns a file into a C++ source of its bytes (see embed_bytes.cmake).
set(KT_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/embed_bytes.cmake)

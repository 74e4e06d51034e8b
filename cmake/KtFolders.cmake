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

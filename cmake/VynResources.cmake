# vyn_embed_resource(TARGET NAME FILE [PACKED]): links FILE's bytes into TARGET as the resource
# NAME (see platform/Resources.h), registered when the program starts. PACKED stores FILE
# packed to SZDD instead, its header keeping FILE's last name character. FILE may be a
# generator expression such as $<TARGET_FILE:other>; it is read at build time.
function(vyn_embed_resource target name file)
  cmake_parse_arguments(ARG "PACKED" "" "" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "vyn_embed_resource: unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  set(depends ${file})
  if(file MATCHES "^\\$<TARGET_FILE:([^>]+)>$")
    list(APPEND depends ${CMAKE_MATCH_1})
  elseif(NOT file MATCHES "^\\$<" AND NOT IS_ABSOLUTE "${file}")
    set(file ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    set(depends ${file})
  endif()

  string(MAKE_C_IDENTIFIER "${target}_${name}" id)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/vyn_resources)
  set(bytes ${file})
  if(ARG_PACKED)
    set(bytes ${folder}/${id}.szdd)
    add_custom_command(OUTPUT ${bytes}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND vyn-szdd-pack ${file} ${bytes}
      DEPENDS vyn-szdd-pack ${depends}
      COMMENT "Packing resource ${name}" VERBATIM)
    set(depends ${bytes})
  endif()
  set(source ${folder}/${id}.cpp)
  add_custom_command(OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND vyn-embed ${name} ${bytes} ${source}
    DEPENDS vyn-embed ${depends}
    COMMENT "Embedding resource ${name}" VERBATIM)

  add_library(${id}_resource OBJECT ${source})
  target_link_libraries(${id}_resource PRIVATE vyn_platform)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "STATIC_LIBRARY")
    # Nothing references the registration, so an archive member would never be pulled in: the
    # object goes onto the link line of every program that links the library.
    target_link_libraries(${target} INTERFACE $<TARGET_OBJECTS:${id}_resource> vyn_platform)
    add_dependencies(${target} ${id}_resource)
  else()
    target_link_libraries(${target} PRIVATE ${id}_resource vyn_platform)
  endif()
endfunction()

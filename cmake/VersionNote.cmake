# Stamps an executable with a version as an ELF note (.note.vyn.version) holding the 52-byte
# fixed-file-information record a PE version resource carries.
set(_vyn_version_template ${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in)

# vyn_add_version_note(target [VERSION a.b.c.d]): the project version unless another is given.
# A version with fewer than four numbers counts the missing ones as 0.
function(vyn_add_version_note target)
  cmake_parse_arguments(ARG "" "VERSION" "" ${ARGN})
  if(NOT ARG_VERSION)
    set(ARG_VERSION ${PROJECT_VERSION})
  endif()
  string(REPLACE "." ";" parts "${ARG_VERSION}")
  list(APPEND parts 0 0 0 0)
  list(SUBLIST parts 0 4 parts)
  list(GET parts 0 major)
  list(GET parts 1 minor)
  list(GET parts 2 patch)
  list(GET parts 3 tweak)
  math(EXPR VYN_VERSION_MS "(${major} << 16) | ${minor}" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR VYN_VERSION_LS "(${patch} << 16) | ${tweak}" OUTPUT_FORMAT HEXADECIMAL)
  set(note ${CMAKE_BINARY_DIR}/generated/version_note_${major}_${minor}_${patch}_${tweak}.cpp)
  configure_file(${_vyn_version_template} ${note} @ONLY)
  target_sources(${target} PRIVATE ${note})
endfunction()

# Stamps an executable with the project version as an ELF note (.note.vyn.version) holding the
# 52-byte fixed-file-information record a PE version resource carries.
set(_vyn_version_template ${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in)

# A version given with fewer than four numbers counts the missing ones as 0.
foreach(_vyn_part MAJOR MINOR PATCH TWEAK)
  set(_vyn_${_vyn_part} "${PROJECT_VERSION_${_vyn_part}}")
  if(_vyn_${_vyn_part} STREQUAL "")
    set(_vyn_${_vyn_part} 0)
  endif()
endforeach()
math(EXPR VYN_VERSION_MS "(${_vyn_MAJOR} << 16) | ${_vyn_MINOR}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR VYN_VERSION_LS "(${_vyn_PATCH} << 16) | ${_vyn_TWEAK}" OUTPUT_FORMAT HEXADECIMAL)
configure_file(${_vyn_version_template} ${CMAKE_BINARY_DIR}/generated/version_note.cpp @ONLY)

function(vyn_add_version_note target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/version_note.cpp)
endfunction()

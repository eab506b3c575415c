# Stamps an executable with the project version as an ELF note (.note.vyn.version) holding the
# 52-byte fixed-file-information record a PE version resource carries.
set(_vyn_version_template ${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in)

math(EXPR VYN_VERSION_MS "(${PROJECT_VERSION_MAJOR} << 16) | ${PROJECT_VERSION_MINOR}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR VYN_VERSION_LS "(${PROJECT_VERSION_PATCH} << 16) | ${PROJECT_VERSION_TWEAK}" OUTPUT_FORMAT HEXADECIMAL)
configure_file(${_vyn_version_template} ${CMAKE_BINARY_DIR}/generated/version_note.cpp @ONLY)

function(vyn_add_version_note target)
  target_sources(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated/version_note.cpp)
endfunction()

# vyn_use_ccache(ROOT): compiles through ccache when it is there, with one cache for every build
# folder and paths relative to ROOT, so a second clone (CI) and a plain `cmake --build` find the
# objects the first one made (the build folder is left out of the hash even with debug
# information, whose compile folder then names the first build's).
function(vyn_use_ccache root)
  find_program(CCACHE_PROGRAM ccache)
  if(NOT CCACHE_PROGRAM)
    return()
  endif()
  if(DEFINED ENV{CCACHE_DIR})
    set(cache_dir $ENV{CCACHE_DIR})
  else()
    set(cache_dir $ENV{HOME}/.cache/vyn-ccache)
  endif()
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_DIR=${cache_dir}
      CCACHE_BASEDIR=${root} CCACHE_NOHASHDIR=1 ${CCACHE_PROGRAM} PARENT_SCOPE)
endfunction()

# Unity batches for the CI presets (QV_UNITY): each of our targets compiles its C++ sources a batch
# at a time, one generated file per batch that includes them, so that the sources of a batch
# instantiate the templates they share (GoogleTest's, json's, fmt's) once instead of each again.
# CMake's own unity build includes the sources by their absolute paths, which gives every clone other
# compiler-cache keys; these batches include them by their path from the repository's root, every
# target's include root, so that a fresh clone elsewhere on the machine finds the cache warm.
#
# A target's QV_UNITY_BATCH is the sources per batch: 8 unless set, 0 for all in one, OFF for none. A
# source whose SKIP_UNITY_BUILD_INCLUSION is ON is compiled alone: it defines a name in a file of its
# own that another source of the target defines too.

option(QV_UNITY "Compile each target's sources in unity batches (the CI presets)" OFF)

# Called by qv_set_options(); the batches are made once the target's directory is read, when its
# sources and their properties are all known.
function(qv_unity target)
  if(QV_UNITY)
    # A deferred call reads its arguments when it runs, so the name goes in as a literal.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL qv_unity_batches [[${target}]])")
  endif()
endfunction()

function(qv_unity_batches target)
  get_target_property(size ${target} QV_UNITY_BATCH)
  if(size STREQUAL "OFF")
    return()
  elseif(size STREQUAL "size-NOTFOUND")
    set(size 8)
  endif()
  get_target_property(sources ${target} SOURCES)
  get_target_property(directory ${target} SOURCE_DIR)
  set(kept)
  set(batches)
  set(batch "")
  set(count 0)
  foreach(source IN LISTS sources)
    get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${directory}")
    file(RELATIVE_PATH relative "${PROJECT_SOURCE_DIR}" "${path}")
    get_source_file_property(alone "${source}" SKIP_UNITY_BUILD_INCLUSION)
    if(NOT source MATCHES "\\.cpp$" OR alone OR relative MATCHES "^\\.\\./")
      list(APPEND kept "${source}")
      continue()
    endif()
    string(APPEND batch "#include \"${relative}\"\n")
    math(EXPR count "${count} + 1")
    if(size GREATER 0 AND count EQUAL size)
      list(APPEND batches "${batch}")
      set(batch "")
      set(count 0)
    endif()
  endforeach()
  if(count GREATER 0)
    list(APPEND batches "${batch}")
  endif()
  set(generated)
  set(index 0)
  foreach(batch IN LISTS batches)
    set(file "${CMAKE_CURRENT_BINARY_DIR}/unity/${target}-${index}.cpp")
    # Written only when it changes, so that a new configure rebuilds nothing.
    file(CONFIGURE OUTPUT "${file}" CONTENT "${batch}" @ONLY)
    list(APPEND generated "${file}")
    math(EXPR index "${index} + 1")
  endforeach()
  set_property(TARGET ${target} PROPERTY SOURCES ${kept} ${generated})
endfunction()

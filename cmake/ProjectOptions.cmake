# Per-target build settings: language level, the include root, warnings, sanitizers and the Windows
# runtime linking. Every target of ours calls qv_set_options(); nothing is set globally.

function(qv_set_options target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  # One include root, the repository's, so every header has exactly one spelling
  # ("plugin/host/ArkApi.h"). Which folder may include which is scripts/check-layering.sh's to keep.
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
  # Every binary lands in one folder, so the tool and the tests find the plug-in and the host beside them.
  set_target_properties(${target} PROPERTIES
    CXX_EXTENSIONS OFF
    POSITION_INDEPENDENT_CODE ON
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin"
    LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(QV_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(QV_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(WIN32)
    # A server folder has no MinGW runtime DLLs: each binary carries its own runtime.
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "STATIC_LIBRARY" AND NOT type STREQUAL "OBJECT_LIBRARY")
      target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -static)
    endif()
    # A loadable module exports only what it marks __declspec(dllexport). Without this, GNU ld, finding
    # nothing marked, would export every symbol of the plug-in.
    if(type STREQUAL "MODULE_LIBRARY")
      target_link_options(${target} PRIVATE -Wl,--exclude-all-symbols)
    endif()
  endif()
endfunction()

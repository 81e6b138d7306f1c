# Per-target build settings: language level, the include root, warnings, sanitizers and the Windows
# runtime linking (MinGW's, Microsoft's, and the Microsoft-ABI build's). Every target of ours calls qv_set_options(); nothing is
# set globally.

include(Unity)

function(qv_set_options target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  qv_unity(${target})
  # One include root, the repository's, so every header has exactly one spelling
  # ("plugin/host/ArkApi.h"). Which folder may include which is scripts/check-layering.sh's to keep.
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
  # Every binary lands in one folder, so the tool and the tests find the plug-in and the host beside them.
  set_target_properties(${target} PROPERTIES
    CXX_EXTENSIONS OFF
    POSITION_INDEPENDENT_CODE ON
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin"
    LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
  if(MSVC)
    # /utf-8: the sources are UTF-8, and Microsoft's compiler otherwise reads them in the machine's code page.
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8 /Zc:__cplusplus)
    if(QV_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
    # The runtime DLL (/MD), not the static one: std::string, std::function and the sinks' shared_ptr
    # cross the boundary, allocated on one side and freed on the other, so plug-in and host must share
    # one runtime and its heap. Its debug variant changes the std:: layouts: no Debug for a real host.
    set_target_properties(${target} PROPERTIES MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>DLL")
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(QV_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
  if(QV_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(QV_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
  get_target_property(type ${target} TYPE)
  if(QV_MSVC_ABI AND type MATCHES "^(EXECUTABLE|SHARED_LIBRARY|MODULE_LIBRARY)$")
    # Visual C++'s runtime as this build stands it in (cmake/msvc-abi/RuntimeLibrary.cmake).
    target_link_libraries(${target} PRIVATE qv_msvc_abi_runtime)
  endif()
  if(MINGW)
    # A server folder has no MinGW runtime DLLs: each binary carries its own runtime.
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

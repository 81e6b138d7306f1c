# What a program or DLL of the Microsoft-ABI build (cmake/msvc-abi-x86_64.cmake) links besides its own
# code, as Visual C++ would give it, in one target: qv_msvc_abi_runtime.
#   - Microsoft's standard library, unpacked from the archives in QV_MS_STL into the build folder;
#     the four of its sources that Visual C++ links statically (qv_ms_stl_static);
#   - import libraries for the runtime DLLs, made at build time from Wine's own DLLs, which Wine
#     ships without them (ImportLibrary.cmake);
#   - Visual C++'s static runtime, our own small stand-in (runtime/, one piece a file).
# qv_set_options() links qv_msvc_abi_runtime into every program and DLL.

set(QV_MS_STL "$ENV{QV_MS_STL}" CACHE PATH "The folder holding Microsoft's standard library's archives")
set(stl_tag vs-2022-17.4)
foreach(part inc src)
  set(archive "${QV_MS_STL}/ms-stl-${part}-${stl_tag}.tar.xz")
  if(NOT QV_MS_STL OR NOT EXISTS "${archive}")
    message(FATAL_ERROR "The Microsoft-ABI build needs Microsoft's standard library: set QV_MS_STL to the folder "
                        "holding ms-stl-inc-${stl_tag}.tar.xz and ms-stl-src-${stl_tag}.tar.xz (../shared/ms-stl "
                        "beside the repository in CI); found '${QV_MS_STL}'")
  endif()
  # Unpacked into the build folder, again whenever an archive changes.
  file(SHA256 "${archive}" hash)
  set(stamp "${QV_MS_STL_UNPACKED}/${part}.sha256")
  if(NOT EXISTS "${stamp}" OR NOT EXISTS "${QV_MS_STL_UNPACKED}/${part}")
    set(unpacked_hash "")
  else()
    file(READ "${stamp}" unpacked_hash)
  endif()
  if(NOT unpacked_hash STREQUAL hash)
    file(REMOVE_RECURSE "${QV_MS_STL_UNPACKED}/${part}")
    file(ARCHIVE_EXTRACT INPUT "${archive}" DESTINATION "${QV_MS_STL_UNPACKED}")
    file(WRITE "${stamp}" "${hash}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${archive}")
endforeach()

# Code that only libstdc++ accepts must fail this build, as it fails Visual C++'s. A string_view's
# iterator, a pointer in libstdc++, is a class in Microsoft's library: the same source compiles
# without the line that takes it as a pointer and fails with it, or the configuration stops.
foreach(probe accepted refused)
  string(CONCAT code "#include <string_view>\n" "const char* Probe() { return std::string_view(\"x\").data(); }\n")
  if(probe STREQUAL refused)
    string(APPEND code "const char* p = std::string_view(\"x\").begin();\n")
  endif()
  try_compile(compiled SOURCE_FROM_CONTENT "${probe}.cpp" "${code}" CXX_STANDARD 17 OUTPUT_VARIABLE output)
  if(probe STREQUAL accepted AND NOT compiled)
    message(FATAL_ERROR "The Microsoft-ABI build cannot compile a plain use of std::string_view:\n${output}")
  elseif(probe STREQUAL refused AND compiled)
    message(FATAL_ERROR "The Microsoft-ABI build accepts a string_view's iterator taken as a pointer, which only "
                        "libstdc++ allows: it is not compiling against Microsoft's library")
  endif()
endforeach()

# Import libraries, made from the export tables of Wine's DLLs.
find_path(QV_WINE_DLLS ucrtbase.dll PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
          NO_DEFAULT_PATH REQUIRED)
find_program(QV_LLVM_READOBJ llvm-readobj-14 REQUIRED)
find_program(QV_LLVM_DLLTOOL llvm-dlltool-14 REQUIRED)
set(import_dir "${CMAKE_BINARY_DIR}/msvc-abi/lib")
set(import_libs "")
foreach(dll vcruntime140 ucrtbase msvcp140 kernel32)
  add_custom_command(OUTPUT "${import_dir}/${dll}.lib"
                     COMMAND ${CMAKE_COMMAND} -DDLL=${QV_WINE_DLLS}/${dll}.dll -DDEF=${import_dir}/${dll}.def
                             -DLIB=${import_dir}/${dll}.lib -DREADOBJ=${QV_LLVM_READOBJ} -DDLLTOOL=${QV_LLVM_DLLTOOL}
                             -P "${CMAKE_CURRENT_LIST_DIR}/ImportLibrary.cmake"
                     DEPENDS "${QV_WINE_DLLS}/${dll}.dll" "${CMAKE_CURRENT_LIST_DIR}/ImportLibrary.cmake"
                     COMMENT "Making ${dll}.lib from Wine's ${dll}.dll")
  list(APPEND import_libs "${import_dir}/${dll}.lib")
endforeach()
add_custom_target(qv_msvc_abi_import_libs DEPENDS ${import_libs})

# The standard library's sources that are linked statically: the file system operations, the
# vectorised algorithms (AVX2 paths chosen at run time), the system error messages, and the
# locale's static parts. stl-src/ stands in for the headers they include that the archives lack.
set(stl_src "${QV_MS_STL_UNPACKED}/src")
add_library(qv_ms_stl_static STATIC "${stl_src}/filesystem.cpp" "${stl_src}/vector_algorithms.cpp"
                                    "${stl_src}/syserror_import_lib.cpp" "${stl_src}/locale0_implib.cpp")
target_include_directories(qv_ms_stl_static SYSTEM PRIVATE "${CMAKE_CURRENT_LIST_DIR}/stl-src")
target_compile_features(qv_ms_stl_static PRIVATE cxx_std_17)
# MinGW-w64's headers list FileDispositionInfoEx only for this spelling of the Windows 10 version.
set_source_files_properties("${stl_src}/filesystem.cpp" PROPERTIES COMPILE_DEFINITIONS _WIN32_WINNT=0x0A000002)
set_source_files_properties("${stl_src}/vector_algorithms.cpp" PROPERTIES COMPILE_OPTIONS "-mavx2;-Wno-ignored-pragma-optimize")

# Visual C++'s static runtime, ours.
add_library(qv_msvc_static_runtime STATIC
  "${CMAKE_CURRENT_LIST_DIR}/runtime/IsaAvailable.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/MicrosoftLibrary.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/New.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/StackProbe.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/Startup.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/Stdio.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/ThreadSafeStatics.cpp"
  "${CMAKE_CURRENT_LIST_DIR}/runtime/TypeInfo.cpp")
qv_set_options(qv_msvc_static_runtime)
# Each piece of the runtime stands alone, as Visual C++'s own do.
set_target_properties(qv_msvc_static_runtime PROPERTIES QV_UNITY_BATCH OFF)

add_library(qv_msvc_abi_runtime INTERFACE)
target_link_libraries(qv_msvc_abi_runtime INTERFACE qv_msvc_static_runtime qv_ms_stl_static ${import_libs})
add_dependencies(qv_msvc_abi_runtime qv_msvc_abi_import_libs)

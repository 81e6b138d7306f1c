# The build a real server loads: the plug-in alone, linked against the real host's import library
# instead of the stand-in. The target keeps the stand-in's name, version, so plugin/ links the same
# way in both builds. QV_HOST_IMPORT_LIB names the host's own ArkApi.lib; without one, the import
# library is made from plugin/host/version.def, whose decorated names scripts/check-msvc.sh checks
# against the contract.

set(QV_HOST_IMPORT_LIB "" CACHE FILEPATH
    "The real host's import library (ArkApi.lib); empty: one made from plugin/host/version.def")

if(NOT MSVC)
  message(FATAL_ERROR "QV_REAL_HOST needs Microsoft's compiler (the windows-msvc preset): the host's decorated "
                      "names and std:: types are Microsoft's, and ${CMAKE_CXX_COMPILER_ID}'s are not")
endif()
# Microsoft's debug runtime and checked iterators change the std:: layouts that cross the boundary.
if(CMAKE_BUILD_TYPE STREQUAL "Debug" OR "Debug" IN_LIST CMAKE_CONFIGURATION_TYPES)
  message(FATAL_ERROR "QV_REAL_HOST: a Debug build cannot share std:: objects with a release host; "
                      "use Release or RelWithDebInfo (CMAKE_BUILD_TYPE / CMAKE_CONFIGURATION_TYPES)")
endif()

if(QV_HOST_IMPORT_LIB)
  if(NOT EXISTS "${QV_HOST_IMPORT_LIB}")
    message(FATAL_ERROR "QV_HOST_IMPORT_LIB: ${QV_HOST_IMPORT_LIB} does not exist")
  endif()
  set(host_lib "${QV_HOST_IMPORT_LIB}")
else()
  set(def "${PROJECT_SOURCE_DIR}/plugin/host/version.def")
  set(host_lib "${CMAKE_BINARY_DIR}/host/version.lib")
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/host")
  # CMAKE_AR is lib.exe.
  execute_process(COMMAND "${CMAKE_AR}" /nologo /machine:x64 "/def:${def}" "/out:${host_lib}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Making ${host_lib} from ${def} failed:\n${output}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${def}")
  message(STATUS "No QV_HOST_IMPORT_LIB: linking against ${host_lib}, made from ${def}")
endif()

add_library(version UNKNOWN IMPORTED)
set_target_properties(version PROPERTIES IMPORTED_LOCATION "${host_lib}")

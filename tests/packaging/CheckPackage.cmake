# Makes the release package with CPack, unpacks it, and fails when it is not what an administrator
# unpacks into a server's folder: exactly the plug-in's folder with the DLL, the example config, the
# host's plug-in info and the text, the text and the info naming the version, and a DLL that imports
# only the host and Windows and exports nothing. Run as a test: cmake -P CheckPackage.cmake with
#   -DCPACK=<cpack> -DBUILD_DIR=<build folder> -DPACKAGE=<file name> -DVERSION=<version>
#   -DEXAMPLE=<examples/config.json> -DOBJDUMP=<objdump>

cmake_minimum_required(VERSION 3.25)

set(work "${BUILD_DIR}/package-test")
file(REMOVE_RECURSE "${work}")
execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${work}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT rc EQUAL 0 OR NOT EXISTS "${work}/${PACKAGE}")
  message(FATAL_ERROR "cpack did not make ${PACKAGE}:\n${output}")
endif()

file(MAKE_DIRECTORY "${work}/unpacked")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${work}/${PACKAGE}" WORKING_DIRECTORY "${work}/unpacked"
                RESULT_VARIABLE rc ERROR_VARIABLE output)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PACKAGE} does not unpack: ${output}")
endif()

set(folder ArkApi/Plugins/Quorvandelle)
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${work}/unpacked" "${work}/unpacked/*")
list(SORT found)
set(expected ${folder}/PluginInfo.json ${folder}/Quorvandelle.dll ${folder}/README.txt ${folder}/config.json)
if(NOT found STREQUAL expected)
  list(JOIN found "\n    " found_text)
  list(JOIN expected "\n    " expected_text)
  message(FATAL_ERROR "${PACKAGE} holds:\n    ${found_text}\nand must hold exactly:\n    ${expected_text}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXAMPLE}" "${work}/unpacked/${folder}/config.json"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PACKAGE}: ${folder}/config.json is not ${EXAMPLE}")
endif()
file(STRINGS "${work}/unpacked/${folder}/README.txt" first LIMIT_COUNT 1)
if(NOT first MATCHES "^Quorvandelle ${VERSION}[ ,]")
  message(FATAL_ERROR "${PACKAGE}: ${folder}/README.txt begins '${first}', not with version ${VERSION}")
endif()

# The host's plug-in info: the name the host logs, the project's version as the number major.minor,
# and any host version.
file(READ "${work}/unpacked/${folder}/PluginInfo.json" info)
string(REGEX MATCH "^[0-9]+\\.[0-9]+" number "${VERSION}")
foreach(row "FullName;STRING;Quorvandelle" "Version;NUMBER;${number}" "MinApiVersion;NUMBER;0" "Description;STRING;")
  list(GET row 0 member)
  list(GET row 1 type)
  list(GET row 2 value)
  string(JSON found_type ERROR_VARIABLE error TYPE "${info}" ${member})
  if(error OR NOT found_type STREQUAL type)
    message(FATAL_ERROR "${PACKAGE}: PluginInfo.json's ${member} is not a ${type}: ${info}")
  endif()
  string(JSON found GET "${info}" ${member})
  if(NOT value STREQUAL "" AND NOT found STREQUAL value OR found STREQUAL "")
    message(FATAL_ERROR "${PACKAGE}: PluginInfo.json's ${member} is '${found}', not '${value}'")
  endif()
endforeach()

set(BINARY "${work}/unpacked/${folder}/Quorvandelle.dll")
set(IMPORTS version.dll)
set(ONLY_SYSTEM ON)
set(NO_EXPORTS ON)
include("${CMAKE_CURRENT_LIST_DIR}/InspectBinary.cmake")
message(STATUS "${PACKAGE}: as expected")

# Makes the release package with CPack, unpacks it, and fails when it is not what an administrator
# unpacks into a server's folder: exactly the plug-in's folder with the DLL, the example config, the
# host's plug-in info and the text, the text and the info naming the version, and a DLL without debug
# information that imports the host (and the runtime DLLs named) and Windows only and exports nothing;
# and, with SYMBOLS, a zip of its own holding the PDB that the DLL names; with EMULATOR, the tool in
# tool/ beside the plug-in's folder, which checks the unpacked config.json from there, run as an
# administrator runs it. Run as a test: cmake -P CheckPackage.cmake with
#   -DCPACK=<cpack> -DBUILD_DIR=<build folder> -DPACKAGE=<file name> -DVERSION=<version>
#   -DEXAMPLE=<examples/config.json> -DOBJDUMP=<objdump> -DIMPORTS=<a.dll|b.dll...> [-DSYMBOLS=<file name>]
#   [-DEMULATOR=<how to run a Windows program, its arguments separated by |>]

cmake_minimum_required(VERSION 3.25)

set(work "${BUILD_DIR}/package-test")
file(REMOVE_RECURSE "${work}")
execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${work}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT rc EQUAL 0 OR NOT EXISTS "${work}/${PACKAGE}")
  message(FATAL_ERROR "cpack did not make ${PACKAGE}:\n${output}")
endif()

set(folder ArkApi/Plugins/Quorvandelle)
# Unpacks the zip into <work>/<into> and fails unless it holds exactly the files named.
function(unpack_exactly zip into)
  file(MAKE_DIRECTORY "${work}/${into}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${work}/${zip}" WORKING_DIRECTORY "${work}/${into}"
                  RESULT_VARIABLE rc ERROR_VARIABLE output)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${zip} does not unpack: ${output}")
  endif()
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${work}/${into}" "${work}/${into}/*")
  list(SORT found)
  set(expected ${ARGN})
  if(NOT found STREQUAL expected)
    list(JOIN found "\n    " found_text)
    list(JOIN expected "\n    " expected_text)
    message(FATAL_ERROR "${zip} holds:\n    ${found_text}\nand must hold exactly:\n    ${expected_text}")
  endif()
endfunction()

set(tool "")
if(EMULATOR)
  set(tool ${folder}/tool/Quorvandelle.dll ${folder}/tool/quorvandelle.exe ${folder}/tool/version.dll)
endif()
unpack_exactly("${PACKAGE}" unpacked ${folder}/PluginInfo.json ${folder}/Quorvandelle.dll ${folder}/README.txt
               ${folder}/config.json ${tool})

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
set(ONLY_SYSTEM ON)
set(NO_EXPORTS ON)
set(NO_DEBUG_INFO ON)
include("${CMAKE_CURRENT_LIST_DIR}/InspectBinary.cmake")

if(SYMBOLS)
  unpack_exactly("${SYMBOLS}" symbols ${folder}/Quorvandelle.pdb)
  # The DLL names its PDB without the build machine's folders, so a debugger finds it beside the DLL.
  if(NOT headers MATCHES "\\(format RSDS [^\n]* pdb Quorvandelle\\.pdb\\)")
    string(REGEX MATCH "\\(format [^\n]*" record "${headers}")
    message(FATAL_ERROR "${PACKAGE}: Quorvandelle.dll does not name its PDB as Quorvandelle.pdb: ${record}")
  endif()
endif()
if(EMULATOR)
  # From the plug-in's folder, as README.txt tells the administrator: the program finds the stand-in
  # host beside itself, and the example config is clean.
  string(REPLACE "|" ";" emulator "${EMULATOR}")
  execute_process(COMMAND ${emulator} tool/quorvandelle.exe check config.json
                  WORKING_DIRECTORY "${work}/unpacked/${folder}" RESULT_VARIABLE rc OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(NOT rc EQUAL 0 OR NOT output MATCHES "OK, the plug-in loads it")
    message(FATAL_ERROR "${PACKAGE}: tool/quorvandelle.exe check config.json exits ${rc}:\n${output}")
  endif()
endif()
message(STATUS "${PACKAGE}: as expected")

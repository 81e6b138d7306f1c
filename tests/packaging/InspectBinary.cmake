# Reads a built binary's import and export tables with the toolchain's binutils and fails when they
# break what a server expects of it. Run as a test: cmake -P InspectBinary.cmake with
#   -DBINARY=<file> -DOBJDUMP=<objdump> [-DNM=<nm>]  the binary and the tools that read it
#   -DIMPORTS=<a|b...>     it must import from these DLLs / shared objects (their loader-visible names)
#   -DNO_EXPORTS=ON        it must export no symbol (ELF: needs -DNM)
#   -DSELF_CONTAINED=ON    (Windows) it must not import MinGW's runtime DLLs, which servers lack
#   -DONLY_SYSTEM=ON       (Windows) besides IMPORTS, it may import only Windows' own DLLs and
#                          Microsoft's C and C++ runtimes
#   -DNO_DEBUG_INFO=ON     (Windows) it must carry no debug sections

cmake_minimum_required(VERSION 3.25)

foreach(var BINARY OBJDUMP)
  if(NOT ${var})
    message(FATAL_ERROR "InspectBinary.cmake: -D${var}=... is required")
  endif()
endforeach()
if(NOT EXISTS "${BINARY}")
  message(FATAL_ERROR "${BINARY} does not exist")
endif()
get_filename_component(shown "${BINARY}" NAME)

execute_process(COMMAND "${OBJDUMP}" -p "${BINARY}" OUTPUT_VARIABLE headers RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${BINARY} failed: ${err}")
endif()
set(pe FALSE)
if(headers MATCHES "file format pei-")
  set(pe TRUE)
endif()

# What the loader must find: PE lists "DLL Name: x.dll", ELF lists "NEEDED x.so".
if(pe)
  string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${headers}")
  list(TRANSFORM lines REPLACE "^DLL Name: " "")
else()
  string(REGEX MATCHALL "\n *NEEDED +[^\n]+" lines "${headers}")
  list(TRANSFORM lines REPLACE "^\n *NEEDED +" "")
endif()
list(TRANSFORM lines STRIP)
set(imports "${lines}")
list(JOIN imports ", " import_text)
message(STATUS "${shown} imports from: ${import_text}")

set(problems "")
string(TOLOWER "${imports}" lower_imports)
string(REPLACE "|" ";" wanted "${IMPORTS}")
string(TOLOWER "${wanted}" wanted)
foreach(dll IN LISTS wanted)
  if(NOT dll IN_LIST lower_imports)
    list(APPEND problems "does not import from ${dll} (imports: ${import_text})")
  endif()
endforeach()

if(SELF_CONTAINED AND pe)
  # MinGW's runtime DLLs are libgcc_s_seh-1.dll, libstdc++-6.dll and libwinpthread-1.dll; Windows' own
  # DLLs never start with "lib".
  foreach(dll IN LISTS imports)
    if(dll MATCHES "^[lL][iI][bB]")
      list(APPEND problems "imports ${dll}, which a server folder does not have (link the runtime statically)")
    endif()
  endforeach()
endif()

if(ONLY_SYSTEM AND pe)
  foreach(dll IN LISTS imports)
    string(TOLOWER "${dll}" lower)
    if(NOT lower IN_LIST wanted AND NOT lower MATCHES
       "^(kernel32|ntdll|user32|advapi32|shell32|ole32|ws2_32|msvcrt|ucrtbase|msvcp140.*|vcruntime140.*|api-ms-win-.*)\\.dll$")
      list(APPEND problems "imports ${dll}, which is neither one of ${IMPORTS} nor a DLL of Windows or its runtime")
    endif()
  endforeach()
endif()

if(NO_DEBUG_INFO AND pe)
  execute_process(COMMAND "${OBJDUMP}" -h "${BINARY}" OUTPUT_VARIABLE sections RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -h ${BINARY} failed: ${err}")
  endif()
  string(REGEX MATCHALL "\\.debug_[a-z_]+" debug_sections "${sections}")
  if(debug_sections)
    list(JOIN debug_sections ", " debug_text)
    list(APPEND problems "carries debug sections (${debug_text}): strip it, or move them to a separate file")
  endif()
endif()

if(NO_EXPORTS)
  set(exports "")
  if(pe)
    # No .edata at all, or one whose name table is empty. The index brackets go first: CMake lists
    # cannot hold unbalanced brackets.
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[^\n]*\n)*)" table "${headers}")
    string(REGEX REPLACE "[ \t]*\\[ *[0-9]+\\][ \t]*" "" table "${CMAKE_MATCH_1}")
    string(REGEX MATCHALL "[^\n]+" exports "${table}")
    if(headers MATCHES "Number in:\n[ \t]*Export Address Table[ \t]+([0-9a-fA-F]+)")
      math(EXPR count "0x${CMAKE_MATCH_1}")
      if(count GREATER 0 AND NOT exports)
        set(exports "${count} entries by ordinal")
      endif()
    endif()
  else()
    if(NOT NM)
      message(FATAL_ERROR "InspectBinary.cmake: -DNM=... is required for NO_EXPORTS on ELF")
    endif()
    execute_process(COMMAND "${NM}" -D --defined-only "${BINARY}" OUTPUT_VARIABLE symbols RESULT_VARIABLE rc
                    ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${NM} -D --defined-only ${BINARY} failed: ${err}")
    endif()
    string(REGEX MATCHALL "[^\n]+" exports "${symbols}")
  endif()
  if(exports)
    list(LENGTH exports n)
    list(SUBLIST exports 0 10 first)
    list(JOIN first "\n    " first)
    list(APPEND problems "exports ${n} symbol(s), and must export none. The first:\n    ${first}")
  endif()
endif()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${shown}:\n  ${text}")
endif()
message(STATUS "${shown}: as expected")

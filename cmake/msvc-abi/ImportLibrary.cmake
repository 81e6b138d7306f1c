# Makes an import library from a DLL's export table, for a DLL that ships none (Wine's own builds of
# Windows' DLLs). An export whose address lies in a section of data, not code and not the export
# directory (where forwarders point), is marked DATA: it gets no call thunk, so a declaration that
# forgot __declspec(dllimport) fails to link instead of reading the thunk's bytes.
#   cmake -DDLL=<x.dll> -DDEF=<x.def> -DLIB=<x.lib> -DREADOBJ=<llvm-readobj> -DDLLTOOL=<llvm-dlltool>
#         -P ImportLibrary.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var DLL DEF LIB READOBJ DLLTOOL)
  if(NOT ${var})
    message(FATAL_ERROR "ImportLibrary.cmake: -D${var}=... is required")
  endif()
endforeach()

execute_process(COMMAND "${READOBJ}" --sections --coff-exports "${DLL}" OUTPUT_VARIABLE dump
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${READOBJ} cannot read ${DLL}: ${err}")
endif()

# Sections of data: their start and end addresses.
set(data_ranges "")
string(REGEX MATCHALL "Section {[^}]*}" sections "${dump}")
foreach(section IN LISTS sections)
  string(REGEX MATCH "Name: ([^ \n]+)" _ "${section}")
  set(name "${CMAKE_MATCH_1}")
  string(REGEX MATCH "VirtualSize: 0x([0-9A-F]+)" _ "${section}")
  math(EXPR size "0x${CMAKE_MATCH_1}")
  string(REGEX MATCH "VirtualAddress: 0x([0-9A-F]+)" _ "${section}")
  math(EXPR start "0x${CMAKE_MATCH_1}")
  string(REGEX MATCH "Characteristics \\[ \\(0x([0-9A-F]+)\\)" _ "${section}")
  math(EXPR executable "0x${CMAKE_MATCH_1} & 0x20000000")
  if(executable EQUAL 0 AND NOT name STREQUAL ".edata")
    math(EXPR end "${start} + ${size}")
    list(APPEND data_ranges "${start}:${end}")
  endif()
endforeach()

get_filename_component(dll_name "${DLL}" NAME)
set(def "LIBRARY ${dll_name}\nEXPORTS\n")
string(REGEX MATCHALL "Export {[^}]*}" exports "${dump}")
foreach(export IN LISTS exports)
  if(NOT export MATCHES "Name: ([^\n]+)\n")
    continue() # by ordinal only
  endif()
  set(symbol "${CMAKE_MATCH_1}")
  string(REGEX MATCH "RVA: 0x([0-9A-F]+)" _ "${export}")
  math(EXPR rva "0x${CMAKE_MATCH_1}")
  set(kind "")
  foreach(range IN LISTS data_ranges)
    string(REPLACE ":" ";" range "${range}")
    list(GET range 0 start)
    list(GET range 1 end)
    if(rva GREATER_EQUAL start AND rva LESS end)
      set(kind " DATA")
      break()
    endif()
  endforeach()
  string(APPEND def "    ${symbol}${kind}\n")
endforeach()

file(WRITE "${DEF}" "${def}")
execute_process(COMMAND "${DLLTOOL}" -m i386:x86-64 -d "${DEF}" -l "${LIB}" RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} cannot make ${LIB} from ${DEF}: ${err}")
endif()

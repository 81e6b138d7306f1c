cmake_minimum_required(VERSION 3.25)

# Runs the built quorvandelle program as a user would and checks what it did:
#   cmake -DPROGRAM=<exe> [-DEMULATOR=<a|b|c>] [-DARGS=<a|b|c>] [-DINPUT=<file>] [-DWORKDIR=<dir>]
#         -DEXPECT_EXIT=<n> [-DEXPECT_STDOUT=<s1|s2>] [-DEXPECT_STDERR=<s1|s2>] [-DREJECT_OUTPUT=<s1|s2>]
#         [-DEXPECT_JSONL=<file>] [-DZONE=<TZ>] [-DSTDOUT_TO=full|closed] -P RunTool.cmake
# Lists are separated by "|". EXPECT_STDOUT and EXPECT_STDERR are texts that must appear in that
# order; REJECT_OUTPUT texts must appear in neither stream. EXPECT_JSONL holds one JSON object a line
# (blank lines and lines starting with # skipped): the program must print exactly as many lines,
# and line i must have every member of expected object i with the same value (members left out are
# not compared). The program runs with TZ=UTC0 (or ZONE), so dates are the same on every machine,
# and with NO_COLOR set. STDOUT_TO runs it with standard output on /dev/full, or closed.

foreach(list ARGS EMULATOR EXPECT_STDOUT EXPECT_STDERR REJECT_OUTPUT)
  if(DEFINED ${list})
    string(REPLACE "|" ";" ${list} "${${list}}")
  endif()
endforeach()

if(ZONE)
  set(ENV{TZ} "${ZONE}")
else()
  set(ENV{TZ} "UTC0")
endif()
set(ENV{NO_COLOR} "1")
set(input_option)
if(INPUT)
  set(input_option INPUT_FILE "${INPUT}")
endif()
if(NOT WORKDIR)
  set(WORKDIR "${CMAKE_CURRENT_LIST_DIR}")
endif()

set(launcher)
set(output_option OUTPUT_VARIABLE out)
if(STDOUT_TO STREQUAL "full")
  set(output_option OUTPUT_FILE /dev/full)
elseif(STDOUT_TO STREQUAL "closed")
  set(launcher sh -c "exec \"$0\" \"$@\" >&-")
endif()

execute_process(COMMAND ${launcher} ${EMULATOR} "${PROGRAM}" ${ARGS}
                ${input_option}
                WORKING_DIRECTORY "${WORKDIR}"
                ${output_option}
                ERROR_VARIABLE err
                RESULT_VARIABLE status)
string(REPLACE "\r" "" out "${out}")
string(REPLACE "\r" "" err "${err}")

set(failures "")
macro(fail message)
  string(APPEND failures "  ${message}\n")
endmacro()

if(NOT "${status}" STREQUAL "${EXPECT_EXIT}")
  fail("exit status ${status}, expected ${EXPECT_EXIT}")
endif()

function(expect_in_order stream text expected)
  set(rest "${text}")
  foreach(piece IN LISTS expected)
    string(FIND "${rest}" "${piece}" at)
    if(at EQUAL -1)
      set(failures "${failures}  ${stream} lacks (after the texts before it): ${piece}\n" PARENT_SCOPE)
      return()
    endif()
    string(LENGTH "${piece}" length)
    math(EXPR after "${at} + ${length}")
    string(SUBSTRING "${rest}" ${after} -1 rest)
  endforeach()
endfunction()

expect_in_order(stdout "${out}" "${EXPECT_STDOUT}")
expect_in_order(stderr "${err}" "${EXPECT_STDERR}")
foreach(piece IN LISTS REJECT_OUTPUT)
  string(FIND "${out}${err}" "${piece}" at)
  if(NOT at EQUAL -1)
    fail("output holds what it must not: ${piece}")
  endif()
endforeach()

if(EXPECT_JSONL)
  # Texts may hold ";", which CMake lists split on: it stands aside as the unit separator while the
  # lines are split, and comes back before each line is read as JSON.
  string(ASCII 31 unit)
  function(split_lines text out)
    string(REPLACE ";" "${unit}" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    list(FILTER lines EXCLUDE REGEX "^[ \t]*(#.*)?$")
    set(${out} "${lines}" PARENT_SCOPE)
  endfunction()
  file(READ "${EXPECT_JSONL}" expected_text)
  split_lines("${expected_text}" expected_lines)
  split_lines("${out}" actual_lines)
  list(LENGTH expected_lines expected_count)
  list(LENGTH actual_lines actual_count)
  if(NOT expected_count EQUAL actual_count)
    fail("${actual_count} JSON lines, expected ${expected_count}")
  endif()
  set(index 0)
  foreach(expected IN LISTS expected_lines)
    if(index GREATER_EQUAL actual_count)
      break()
    endif()
    list(GET actual_lines ${index} actual)
    string(REPLACE "${unit}" ";" actual "${actual}")
    string(REPLACE "${unit}" ";" expected "${expected}")
    math(EXPR line "${index} + 1")
    string(JSON members LENGTH "${expected}")
    math(EXPR last "${members} - 1")
    foreach(member_index RANGE ${last})
      string(JSON member MEMBER "${expected}" ${member_index})
      string(JSON want GET "${expected}" "${member}")
      string(JSON got ERROR_VARIABLE missing GET "${actual}" "${member}")
      if(missing)
        fail("line ${line}: no \"${member}\" in ${actual}")
      elseif(NOT "${got}" STREQUAL "${want}")
        fail("line ${line}: \"${member}\" is ${got}, expected ${want}\n    the line: ${actual}")
      endif()
    endforeach()
    math(EXPR index "${index} + 1")
  endforeach()
endif()

if(failures)
  message(FATAL_ERROR "quorvandelle ${ARGS}\n${failures}--- stdout ---\n${out}--- stderr ---\n${err}")
endif()

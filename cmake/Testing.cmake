# GoogleTest for the tests, and qv_add_test() to declare one test executable:
#
#   qv_add_test(<name> SOURCES <file>... [LIBS <target>...] [NO_MAIN] [ZONE <TZ rule>])
#
# builds <name> from SOURCES, links LIBS plus GoogleTest and GoogleMock (with gtest's main() unless
# NO_MAIN), applies qv_set_options(), and registers every test case with CTest. ZONE is the time zone
# with daylight saving that its tests of clock changes use (tests/support/TestZone.h); under Wine the
# whole executable runs in it, since the Windows C runtime follows the system's zone only. The cases are listed
# when CTest runs (PRE_TEST), so in the Windows build the listing runs under Wine too. The executable
# lands in bin/ beside the plug-in and the stand-in host, where Windows and Wine look for DLLs.
# Example, in tests/rates/CMakeLists.txt:
#   qv_add_test(test_rates SOURCES test_rates_schedule.cpp LIBS quorvandelle_core)

include(GoogleTest)

# Test code is compiled for the build's speed, not for the speed of what it runs: the plug-in, the
# stand-in and the tool keep the build type's flags, and the tests themselves take these after them
# (the last -O and -g win). The CI presets set them; empty keeps the build type's.
set(QV_TEST_COMPILE_OPTIONS "" CACHE STRING "Compile options for test code only, after the build type's (e.g. -Og;-g0)")

# qv_set_test_options(<target>): qv_set_options() plus the compile options of test code above; in a
# unity build (cmake/Unity.cmake) each test target is one batch, its files sharing GoogleTest's and
# json's templates.
function(qv_set_test_options target)
  qv_set_options(${target})
  if(QV_TEST_COMPILE_OPTIONS)
    target_compile_options(${target} PRIVATE ${QV_TEST_COMPILE_OPTIONS})
  endif()
  set_target_properties(${target} PROPERTIES QV_UNITY_BATCH 0)
endfunction()

if(CMAKE_CROSSCOMPILING)
  # Debian ships GoogleTest built for Linux only; build its sources with the cross compiler. Its own
  # warnings are not ours to fix, so it gets no qv_set_options() and its headers count as system ones.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Threads through the Windows API: MinGW-w64's pthread.h, found on the Microsoft-ABI build's
  # include path, has no library there.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_SHARED_LIBS OFF)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

  # Every run under Wine goes through this launcher (cmake/wine-run.sh), which keeps the time zone right.
  add_executable(wine-launch "${PROJECT_SOURCE_DIR}/cmake/WineLaunch.cpp")
  qv_set_options(wine-launch)

  # Create Wine's prefix while the build runs rather than inside the first test (cmake/wine-run.sh).
  add_custom_command(OUTPUT "${CMAKE_BINARY_DIR}/wine-prefix/.ready"
                     COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --init
                     COMMENT "Creating the Wine prefix")
  add_custom_target(wine-prefix ALL DEPENDS "${CMAKE_BINARY_DIR}/wine-prefix/.ready")
  # A cold Wine start, or a prefix still being made, takes longer than the default 5 s.
  set(QV_DISCOVERY_TIMEOUT 120)
else()
  find_package(GTest REQUIRED)
  set(QV_DISCOVERY_TIMEOUT 30)
endif()

function(qv_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "NO_MAIN" "ZONE" "SOURCES;LIBS")
  if(NOT arg_SOURCES)
    message(FATAL_ERROR "qv_add_test(${name}): no SOURCES")
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} GTest::gmock GTest::gtest)
  if(NOT arg_NO_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  qv_set_test_options(${name})
  set(zone)
  if(arg_ZONE)
    target_compile_definitions(${name} PRIVATE "QV_TEST_ZONE=\"${arg_ZONE}\"")
    if(CMAKE_CROSSCOMPILING)
      set(zone PROPERTIES ENVIRONMENT "TZ=${arg_ZONE}")
    endif()
  endif()
  if(CMAKE_CROSSCOMPILING)
    # Under Wine the executable runs once, whole, and each case's test reports its part of that run
    # (cmake/wine-run.sh).
    add_test(NAME ${name}.all COMMAND ${name} --qv-all-cases)
    set_tests_properties(${name}.all PROPERTIES FIXTURES_SETUP ${name}.all)
    if(arg_ZONE)
      set_tests_properties(${name}.all PROPERTIES ENVIRONMENT "TZ=${arg_ZONE}")
    else()
      set(zone PROPERTIES)
    endif()
    list(APPEND zone FIXTURES_REQUIRED ${name}.all)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT ${QV_DISCOVERY_TIMEOUT} ${zone})
endfunction()

# The third-party libraries, from Debian's packages (vcpkg's under Visual Studio). Natively they come
# through their CMake packages; for the Windows cross build only their headers are used (fmt
# header-only), exposed through a folder of links, because the cross compiler must never see /usr/include.
# The host's logging library is not among them: plugin/host/LogSink.h declares what crosses.

if(CMAKE_CROSSCOMPILING)
  set(_links "${CMAKE_BINARY_DIR}/third-party-include")
  file(MAKE_DIRECTORY "${_links}")
  foreach(dir nlohmann fmt CLI)
    if(NOT EXISTS "/usr/include/${dir}")
      message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/install-deps.sh")
    endif()
    file(CREATE_LINK "/usr/include/${dir}" "${_links}/${dir}" SYMBOLIC)
  endforeach()

  add_library(qv_third_party INTERFACE)
  target_include_directories(qv_third_party SYSTEM INTERFACE "${_links}")
  target_compile_definitions(qv_third_party INTERFACE FMT_HEADER_ONLY)
  add_library(qv::json ALIAS qv_third_party)
  add_library(qv::fmt ALIAS qv_third_party)
  add_library(qv::cli11 ALIAS qv_third_party)
else()
  find_package(nlohmann_json 3.11 REQUIRED)
  find_package(fmt REQUIRED)
  add_library(qv::json ALIAS nlohmann_json::nlohmann_json)
  if(MSVC)
    # Header-only, so no library built for another runtime or configuration is linked in.
    add_library(qv::fmt ALIAS fmt::fmt-header-only)
  else()
    add_library(qv::fmt ALIAS fmt::fmt)
  endif()
  if(NOT QV_REAL_HOST)
    find_package(CLI11 REQUIRED)
    add_library(qv::cli11 ALIAS CLI11::CLI11)
  endif()
endif()

# The third-party libraries, from Debian's packages (vcpkg's under Visual Studio). Natively they come
# through their CMake packages; for the Windows cross build only their headers are used (fmt and spdlog
# header-only), exposed through a folder of links, because the cross compiler must never see /usr/include.

if(CMAKE_CROSSCOMPILING)
  set(_links "${CMAKE_BINARY_DIR}/third-party-include")
  file(MAKE_DIRECTORY "${_links}")
  foreach(dir nlohmann fmt spdlog CLI)
    if(NOT EXISTS "/usr/include/${dir}")
      message(FATAL_ERROR "/usr/include/${dir} is missing: run scripts/install-deps.sh")
    endif()
    file(CREATE_LINK "/usr/include/${dir}" "${_links}/${dir}" SYMBOLIC)
  endforeach()

  add_library(qv_third_party INTERFACE)
  target_include_directories(qv_third_party SYSTEM INTERFACE "${_links}")
  target_compile_definitions(qv_third_party INTERFACE FMT_HEADER_ONLY SPDLOG_FMT_EXTERNAL)
  add_library(qv::json ALIAS qv_third_party)
  add_library(qv::fmt ALIAS qv_third_party)
  add_library(qv::spdlog ALIAS qv_third_party)
  add_library(qv::cli11 ALIAS qv_third_party)
else()
  # The host hands the plug-in its log sinks, spdlog objects built by the host: the plug-in's spdlog must
  # be the host's version to the patch level. vcpkg.json's override holds it, for Visual Studio's
  # packages and for this check alike.
  file(READ "${PROJECT_SOURCE_DIR}/vcpkg.json" manifest)
  string(JSON count LENGTH "${manifest}" overrides)
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(JSON name GET "${manifest}" overrides ${i} name)
    if(name STREQUAL "spdlog")
      string(JSON QV_HOST_SPDLOG_VERSION GET "${manifest}" overrides ${i} version)
    endif()
  endforeach()
  if(NOT QV_HOST_SPDLOG_VERSION)
    message(FATAL_ERROR "vcpkg.json has no override for spdlog: it must pin the host's spdlog version")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/vcpkg.json")

  find_package(nlohmann_json 3.11 REQUIRED)
  find_package(fmt REQUIRED)
  find_package(spdlog ${QV_HOST_SPDLOG_VERSION} EXACT REQUIRED)
  add_library(qv::json ALIAS nlohmann_json::nlohmann_json)
  if(MSVC)
    # Header-only, so no library built for another runtime or configuration is linked in.
    add_library(qv::fmt ALIAS fmt::fmt-header-only)
  else()
    add_library(qv::fmt ALIAS fmt::fmt)
  endif()
  # Header-only on both platforms, so the plug-in and the host each carry their own copy, as on Windows.
  add_library(qv::spdlog ALIAS spdlog::spdlog_header_only)
  if(NOT QV_REAL_HOST)
    find_package(CLI11 REQUIRED)
    add_library(qv::cli11 ALIAS CLI11::CLI11)
  endif()
endif()

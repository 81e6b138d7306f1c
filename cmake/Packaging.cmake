# The release package: `cmake --build --preset <preset> --target package` makes a zip to unpack into
# the server's folder, holding ArkApi/Plugins/Quorvandelle/ with the DLL, the example config.json,
# PluginInfo.json, a short text on installing and the commands, and the administrators' tool where
# the build has it. Its version is project()'s, as the tool's --version. Only a real-host build
# (Microsoft's compiler) makes a package a real server can load; the other builds' packages say in
# their names what they are for.
# The DLL in the zip carries no debug information. Builds for Microsoft's ABI write it to a PDB,
# shipped in a zip of its own (<name>-symbols.zip), as Windows debuggers and crash tools expect;
# the MinGW build's DLL is stripped.

if(NOT WIN32)
  return()
endif()

set(folder ArkApi/Plugins/Quorvandelle)
if(QV_REAL_HOST)
  set(QV_PACKAGE_KIND "")
  set(QV_PACKAGE_WARNING "")
  set(QV_PACKAGE_FILE_NAME "Quorvandelle-${PROJECT_VERSION}-win64")
elseif(QV_MSVC_ABI)
  set(QV_PACKAGE_KIND ", clang build for Microsoft's ABI, tested under Wine")
  set(QV_PACKAGE_WARNING "
This build was made with clang against Microsoft's C++ library and tested under Wine, with Wine's
runtime DLLs. The release for a real server is the Visual Studio build.
")
  set(QV_PACKAGE_FILE_NAME "Quorvandelle-${PROJECT_VERSION}-win64-msvc-abi-tested-under-wine")
else()
  set(QV_PACKAGE_KIND ", MinGW build for the stand-in")
  set(QV_PACKAGE_WARNING "
THIS BUILD IS FOR THE STAND-IN ONLY. It was made with MinGW-w64, whose names and C++ types the real
host does not share: a real server cannot load it. Use the Visual Studio build.
")
  set(QV_PACKAGE_FILE_NAME "Quorvandelle-${PROJECT_VERSION}-win64-mingw-for-the-stand-in")
endif()
# The administrators' tool, for check and preview on the server itself, in tool/: the program, the
# stand-in host (version.dll) and the plug-in built against it, which simulate and console load from
# beside the program. The server loads neither from there: it takes the host from its own folder and
# the plug-in from the folder above. The stand-in's import library stays out of the package.
# A real-host build has no stand-in, so no tool of its own: QV_PACKAGE_TOOL_FROM names the bin/ folder
# of a build that has one for Microsoft's ABI (windows-msvc-abi), whose three files the package takes.
set(QV_PACKAGE_TOOL_FROM "" CACHE PATH "A real-host build's package: the bin/ folder of the tool's build for Microsoft's ABI")
set(tool_files quorvandelle.exe version.dll Quorvandelle.dll)
set(QV_PACKAGE_TOOL OFF)
set(QV_PACKAGE_TOOL_TEXT "")
if(TARGET quorvandelle OR QV_PACKAGE_TOOL_FROM)
  set(QV_PACKAGE_TOOL ON)
  set(QV_PACKAGE_TOOL_TEXT "
CHECKING A CONFIG BEFORE IT GOES LIVE
tool\\quorvandelle.exe reads config.json as the plug-in does. From this folder, in a command prompt:
  tool\\quorvandelle.exe check config.json      every error and probable mistake, with line and column
  tool\\quorvandelle.exe preview config.json    the next 14 days: which rates are on, when they switch
Every command has --help.
")
endif()
if(TARGET quorvandelle)
  install(TARGETS quorvandelle version Quorvandelle RUNTIME DESTINATION ${folder}/tool COMPONENT plugin
          LIBRARY DESTINATION ${folder}/tool COMPONENT plugin ARCHIVE DESTINATION lib COMPONENT unpackaged)
elseif(QV_PACKAGE_TOOL_FROM)
  list(TRANSFORM tool_files PREPEND "${QV_PACKAGE_TOOL_FROM}/")
  foreach(file IN LISTS tool_files)
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "QV_PACKAGE_TOOL_FROM: ${file} does not exist")
    endif()
  endforeach()
  install(PROGRAMS ${tool_files} DESTINATION ${folder}/tool COMPONENT plugin)
elseif(QV_REAL_HOST)
  message(STATUS "The package will carry no tool/quorvandelle.exe: set QV_PACKAGE_TOOL_FROM to take one")
endif()

configure_file("${CMAKE_CURRENT_LIST_DIR}/package/README.txt.in" "${CMAKE_BINARY_DIR}/package/README.txt" @ONLY)
# What the host framework reads beside the DLL and logs on loading it ("Loaded plugin <FullName>
# V<Version> (<Description>)"). Its Version is a number: the project's major.minor.
set(QV_PLUGIN_INFO_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/package/PluginInfo.json.in" "${CMAKE_BINARY_DIR}/package/PluginInfo.json" @ONLY)

install(TARGETS Quorvandelle LIBRARY DESTINATION ${folder} COMPONENT plugin)
install(FILES "${PROJECT_SOURCE_DIR}/examples/config.json" "${CMAKE_BINARY_DIR}/package/README.txt"
              "${CMAKE_BINARY_DIR}/package/PluginInfo.json"
        DESTINATION ${folder} COMPONENT plugin)
set(CPACK_COMPONENTS_ALL plugin)

if(MSVC OR QV_MSVC_ABI)
  # The PDB's path in the DLL is its bare name, not a folder of the build machine.
  if(MSVC)
    set_target_properties(quorvandelle_core Quorvandelle PROPERTIES MSVC_DEBUG_INFORMATION_FORMAT ProgramDatabase)
    target_link_options(Quorvandelle PRIVATE /DEBUG /OPT:REF /OPT:ICF /PDBALTPATH:%_PDB%)
  else()
    set_target_properties(quorvandelle_core Quorvandelle PROPERTIES MSVC_DEBUG_INFORMATION_FORMAT Embedded)
    target_link_options(Quorvandelle PRIVATE LINKER:/debug LINKER:/opt:ref LINKER:/opt:icf LINKER:/pdbaltpath:%_PDB%)
  endif()
  install(FILES $<TARGET_PDB_FILE:Quorvandelle> DESTINATION ${folder} COMPONENT symbols)
  list(APPEND CPACK_COMPONENTS_ALL symbols)
  set(QV_SYMBOLS_FILE_NAME "${QV_PACKAGE_FILE_NAME}-symbols")
  set(CPACK_ARCHIVE_SYMBOLS_FILE_NAME "${QV_SYMBOLS_FILE_NAME}")
elseif(MINGW)
  set(CPACK_STRIP_FILES ON)
endif()

set(CPACK_GENERATOR ZIP)
# One zip a component, named as set here; include(CPack) would otherwise append the component's name.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_PLUGIN_FILE_NAME "${QV_PACKAGE_FILE_NAME}")
set(CPACK_PACKAGE_NAME Quorvandelle)
set(CPACK_PACKAGE_VENDOR Quorvandelle)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The archive's root is the server's folder, so it unpacks in place.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)

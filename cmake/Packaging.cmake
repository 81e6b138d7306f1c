# The release package: `cmake --build --preset <preset> --target package` makes a zip to unpack into
# the server's folder, holding ArkApi/Plugins/Quorvandelle/ with the DLL, the example config.json,
# PluginInfo.json and a short text on installing and the commands. Its version is project()'s, as the
# tool's --version. Only a real-host build (Microsoft's compiler) makes a package a real server can
# load; the MinGW build's says in its name that it is for the stand-in.

if(NOT WIN32)
  return()
endif()

set(folder ArkApi/Plugins/Quorvandelle)
if(QV_REAL_HOST)
  set(QV_PACKAGE_KIND "")
  set(QV_PACKAGE_WARNING "")
  set(QV_PACKAGE_FILE_NAME "Quorvandelle-${PROJECT_VERSION}-win64")
else()
  set(QV_PACKAGE_KIND ", MinGW build for the stand-in")
  set(QV_PACKAGE_WARNING "
THIS BUILD IS FOR THE STAND-IN ONLY. It was made with MinGW-w64, whose names and C++ types the real
host does not share: a real server cannot load it. Use the Visual Studio build.
")
  set(QV_PACKAGE_FILE_NAME "Quorvandelle-${PROJECT_VERSION}-win64-mingw-for-the-stand-in")
endif()
configure_file("${CMAKE_CURRENT_LIST_DIR}/package/README.txt.in" "${CMAKE_BINARY_DIR}/package/README.txt" @ONLY)
# What the host framework reads beside the DLL and logs on loading it ("Loaded plugin <FullName>
# V<Version> (<Description>)"). Its Version is a number: the project's major.minor.
set(QV_PLUGIN_INFO_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/package/PluginInfo.json.in" "${CMAKE_BINARY_DIR}/package/PluginInfo.json" @ONLY)

install(TARGETS Quorvandelle LIBRARY DESTINATION ${folder})
install(FILES "${PROJECT_SOURCE_DIR}/examples/config.json" "${CMAKE_BINARY_DIR}/package/README.txt"
              "${CMAKE_BINARY_DIR}/package/PluginInfo.json"
        DESTINATION ${folder})

set(CPACK_GENERATOR ZIP)
# include(CPack) leaves CPACK_PACKAGE_FILE_NAME set to the source package's name: the test reads ours.
set(CPACK_PACKAGE_FILE_NAME "${QV_PACKAGE_FILE_NAME}")
set(CPACK_PACKAGE_NAME Quorvandelle)
set(CPACK_PACKAGE_VENDOR Quorvandelle)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The archive's root is the server's folder, so it unpacks in place.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/package")
include(CPack)

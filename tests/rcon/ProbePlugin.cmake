# The plug-in library with RCON commands of its own (RconProbePlugin.cpp), for the RCON tests and the
# benchmark; included by both, defined once.
if(NOT TARGET qv_rcon_probe_plugin)
  add_library(qv_rcon_probe_plugin MODULE "${CMAKE_CURRENT_LIST_DIR}/RconProbePlugin.cpp")
  target_link_libraries(qv_rcon_probe_plugin PRIVATE quorvandelle_core)
  set_target_properties(qv_rcon_probe_plugin PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                                                        VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(qv_rcon_probe_plugin PRIVATE -Wl,--no-undefined)
  qv_set_options(qv_rcon_probe_plugin)
endif()

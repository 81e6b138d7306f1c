# qv_config_roundtrip: the checks of one config file's round trip, shared by the libFuzzer target
# (fuzz/) and the test that replays its corpus and saved crash inputs in every build (tests/fuzz/).
include_guard(GLOBAL)

add_library(qv_config_roundtrip STATIC "${CMAKE_CURRENT_LIST_DIR}/ConfigRoundTrip.cpp"
                                      "${CMAKE_CURRENT_LIST_DIR}/GeneratedConfig.cpp")
target_link_libraries(qv_config_roundtrip PUBLIC quorvandelle_core standin_server qv::json)
qv_set_options(qv_config_roundtrip)

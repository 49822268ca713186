mosaiq_add_fuzzer(fuzz_settings ${CMAKE_CURRENT_LIST_DIR}/FuzzSettings.cpp mosaiq_core)

mosaiq_add_fuzzer(fuzz_project ${CMAKE_CURRENT_LIST_DIR}/FuzzProject.cpp mosaiq_canvas)
mosaiq_add_fuzzer(fuzz_project_blocks ${CMAKE_CURRENT_LIST_DIR}/FuzzProjectBlocks.cpp mosaiq_canvas)

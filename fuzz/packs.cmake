# The resource pack reader (".irs").
mosaiq_add_fuzzer(fuzz_resource_pack ${CMAKE_CURRENT_SOURCE_DIR}/FuzzResourcePack.cpp mosaiq_library)

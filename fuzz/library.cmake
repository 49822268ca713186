# The library file readers: keyed encoded entries (mask libraries), frame entries, raw picture
# entries (picture lists and thumbnail files).
mosaiq_add_fuzzer(fuzz_keyed_entries ${CMAKE_CURRENT_SOURCE_DIR}/FuzzKeyedEntries.cpp mosaiq_library)
mosaiq_add_fuzzer(fuzz_frame_entries ${CMAKE_CURRENT_SOURCE_DIR}/FuzzFrameEntries.cpp mosaiq_library)
mosaiq_add_fuzzer(fuzz_picture_list ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPictureList.cpp mosaiq_library)
mosaiq_add_fuzzer(fuzz_library_items ${CMAKE_CURRENT_SOURCE_DIR}/FuzzLibraryItems.cpp mosaiq_library)

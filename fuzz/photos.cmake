# The photo browser's thumbnail decoding: thumbnail bytes come from "srcmedia.cfg".
mosaiq_add_fuzzer(fuzz_photo_thumbnail ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPhotoThumbnail.cpp mosaiq_library)

# The picture readers (both decoders, the JPEG marker walk and EXIF block) and the photo list file.
mosaiq_add_fuzzer(fuzz_picture_readers ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPictureReaders.cpp mosaiq_imaging)
mosaiq_add_fuzzer(fuzz_photo_list ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPhotoList.cpp mosaiq_library)
mosaiq_add_fuzzer(fuzz_png_writer ${CMAKE_CURRENT_SOURCE_DIR}/FuzzPngWriter.cpp mosaiq_imaging)
mosaiq_add_fuzzer(fuzz_subject_cache ${CMAKE_CURRENT_SOURCE_DIR}/FuzzSubjectCache.cpp mosaiq_imaging)

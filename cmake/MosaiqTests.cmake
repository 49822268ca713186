find_package(GTest REQUIRED)
include(GoogleTest)

# mosaiq_add_test(NAME name SOURCES ... LIBS ... [WIDGETS])
# One test executable per subsystem. Every test runs offscreen, in its own process, with its own
# data directory (tests make one with ScopedDataDir) and its own single-instance name.
function(mosaiq_add_test)
  cmake_parse_arguments(T "WIDGETS" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_WIDGETS)
    set(_main mosaiq_test_main_widgets)
  else()
    set(_main mosaiq_test_main)
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${_main} ${T_LIBS} Qt6::Test GTest::gtest GTest::gmock)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MOSAIQ_TEST_SOURCE_DIR=${PROJECT_SOURCE_DIR}/tests"
               TIMEOUT 300)
endfunction()

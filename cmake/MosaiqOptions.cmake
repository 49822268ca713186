# Compiler flags shared by every target of the project.
add_library(mosaiq_flags INTERFACE)
target_compile_options(mosaiq_flags INTERFACE -Wall -Wextra -Wno-missing-field-initializers)
if(MOSAIQ_WERROR)
  target_compile_options(mosaiq_flags INTERFACE -Werror)
endif()
target_compile_definitions(mosaiq_flags INTERFACE QT_USE_QSTRINGBUILDER MOSAIQ_VERSION="${PROJECT_VERSION}")

if(MOSAIQ_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MOSAIQ_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MOSAIQ_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

function(mosaiq_engine_library name)
  # Engine libraries link QtCore and QtGui only; the linker keeps widgets out of the engine.
  # The foundation (mosaiq_core) links QtCore alone. The sources are the folder's own files plus
  # those its ROOMS (subfolders by concern) list in CMakeLists.txt files of their own, each with
  # target_sources() on this target.
  cmake_parse_arguments(PARSE_ARGV 1 _arg "" "" "ROOMS")
  set(_qt Qt6::Core Qt6::Gui)
  if(name STREQUAL "mosaiq_core")
    set(_qt Qt6::Core)
  endif()
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _src AND NOT _arg_ROOMS)
    # A subsystem whose engine half is still empty: headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE mosaiq_flags ${_qt} ${_arg_UNPARSED_ARGUMENTS})
    return()
  endif()
  file(GLOB _hdr CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${_src} ${_hdr})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC mosaiq_flags ${_qt} ${_arg_UNPARSED_ARGUMENTS})
  foreach(_room IN LISTS _arg_ROOMS)
    add_subdirectory(${_room})
  endforeach()
endfunction()

function(mosaiq_widgets_library name)
  # Widget code lives under widgets/, one subfolder per panel family where that helps.
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.cpp)
  if(NOT _src)
    return()
  endif()
  file(GLOB_RECURSE _hdr CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.h)
  add_library(${name} STATIC ${_src} ${_hdr})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC mosaiq_flags Qt6::Widgets ${ARGN})
endfunction()

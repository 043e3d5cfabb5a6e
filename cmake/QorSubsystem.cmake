# qor_add_subsystem(NAME SOURCES ... DEPENDS ...)
# Declares the static library qor_<NAME> built from SOURCES, with the public
# headers of include/ and the private headers of src/ on its include path.
function(qor_add_subsystem name)
  cmake_parse_arguments(ARG "WINDOW_PART" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(qor_${name} STATIC ${ARG_SOURCES})
  target_include_directories(qor_${name}
    PUBLIC
      $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    PRIVATE
      ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(qor_${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  if(ARG_WINDOW_PART)
    set_property(GLOBAL APPEND PROPERTY QOR_WINDOW_TARGETS qor_${name})
  else()
    set_property(GLOBAL APPEND PROPERTY QOR_SUBSYSTEM_TARGETS qor_${name})
  endif()
endfunction()

# qor_add_window_part(NAME SOURCES ... DEPENDS ...)
# The same for code that needs Qt's GUI or Widgets library (windows, screen painting, rich
# text, picture decoding). Its objects go into the window part libqorprint-gui, never into
# libqorprint.
function(qor_add_window_part name)
  qor_add_subsystem(${name} ${ARGN} WINDOW_PART)
endfunction()

# qor_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [RESOURCE_LOCK lock])
# A GoogleTest executable registered with CTest. Tests that share a RESOURCE_LOCK (for
# example a printer queue whose jobs they count) never run at the same time.
function(qor_add_test name)
  cmake_parse_arguments(ARG "" "RESOURCE_LOCK" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  # Every test program links the window part in whole: its table of entry points is what
  # the library opens on first use.
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} qor_gui GTest::gtest GTest::gtest_main)
  # GCC 12 at -O3 reports -Wrestrict inside std::string's inlined memcpy for "x" + str and
  # str.insert(0, "x"): a known false positive of GCC 12. The library's own code avoids the
  # pattern; the tests use it freely, so only they are spared.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${name} PRIVATE -Wno-restrict)
  endif()
  target_compile_definitions(${name} PRIVATE
    QOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QOR_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures"
    QOR_SHARED_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/../shared/fixtures")
  set(_props LABELS "${ARG_LABELS}")
  if(ARG_RESOURCE_LOCK)
    list(APPEND _props RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${_props})
endfunction()

# qor_add_fuzz_target(NAME SOURCES ... [INCLUDES ...] [LIBS ...])
# A libFuzzer target under ASan and UBSan, built only with QOR_BUILD_FUZZ and clang (see
# tests/FUZZING.md). SOURCES may name library sources compiled into the target directly;
# src/ is on the include path.
function(qor_add_fuzz_target name)
  if(NOT QOR_BUILD_FUZZ OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;INCLUDES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${ARG_INCLUDES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

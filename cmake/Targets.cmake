# orvane_library(NAME [SHARED] SOURCES ... DEPS ...): one library per source folder, with the
# source root on the include path so that includes read "platform/variant/Variant.h". Libraries
# whose state is process-wide (the automation registry, the installation code page) are SHARED,
# so that the shell and every program module it loads see one copy; the others are static and
# linked into each binary that uses them.
function(orvane_library name)
  cmake_parse_arguments(ARG "SHARED" "" "SOURCES;DEPS;SYSTEM_DEPS" ${ARGN})
  if(ARG_SHARED)
    add_library(${name} SHARED ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${ARG_SYSTEM_DEPS})
endfunction()

# orvane_test(NAME SOURCES ... DEPS ...): one GoogleTest executable per subject, registered with CTest.
function(orvane_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# orvane_bench(NAME SOURCES ... DEPS ...): one Google Benchmark executable.
function(orvane_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
endfunction()

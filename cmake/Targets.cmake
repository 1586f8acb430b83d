# Every library offers the headers of its own source folder and nothing else. Includes read
# "platform/variant/Variant.h"; the compiler finds them through a staging folder per source
# folder (build/include/<folder>/<folder path> → src/<folder path>), which a target sees only
# when it links a library of that folder. An include of a folder the target does not link fails
# to compile; docs/architecture.md holds the table of which folder may include which, and the
# include-rules test checks every file against it.

# orvane_offer_folder(TARGET FOLDER [SCOPE]): TARGET offers src/FOLDER's headers to its users.
function(orvane_offer_folder target folder)
  set(scope PUBLIC)
  if(ARGC GREATER 2)
    set(scope ${ARGV2})
  endif()
  string(REPLACE "/" "_" stage ${folder})
  set(root ${PROJECT_BINARY_DIR}/include/${stage})
  if(NOT EXISTS ${root}/${folder})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# orvane_library(NAME [SHARED] SOURCES ... DEPS ... SYSTEM_DEPS ...): one library of the current
# source folder. Libraries whose state is process-wide (the automation registry, the
# installation code page) are SHARED, so that the shell and every program module it loads see
# one copy; the others are static and linked into each binary that uses them.
function(orvane_library name)
  cmake_parse_arguments(ARG "SHARED" "" "SOURCES;DEPS;SYSTEM_DEPS" ${ARGN})
  if(ARG_SHARED)
    add_library(${name} SHARED ${ARG_SOURCES})
  else()
    add_library(${name} STATIC ${ARG_SOURCES})
  endif()
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  orvane_offer_folder(${name} ${folder})
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

# Helpers shared by every folder: warnings as errors for the project's own code,
# one static library per layer, one test program per test folder.

set(MORVA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Werror)

function(morva_warnings target)
  target_compile_options(${target} PRIVATE ${MORVA_WARNINGS})
endfunction()

# morva_library(NAME SOURCES ... [DEPS ...])
function(morva_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  morva_warnings(${name})
endfunction()

# morva_test(NAME SOURCES ... [DEPS ...] [ENV ...])
# Builds one GoogleTest program and registers it with CTest; the program runs
# in the build folder so that test artefacts land under test-artefacts/.
function(morva_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    MORVA_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures"
    MORVA_ARTEFACTS="${PROJECT_BINARY_DIR}/test-artefacts")
  morva_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
endfunction()

# morva_bench(NAME SOURCES ... [DEPS ...])
function(morva_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
  morva_warnings(${name})
endfunction()

# morva_qmbrun_test(NAME SOURCES ... [DEPS ...])
# A test program that runs the headless batch driver (tests/support/Qmbrun.h).
function(morva_qmbrun_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  morva_test(${name} SOURCES ${ARG_SOURCES} DEPS rtl ${ARG_DEPS})
  target_compile_definitions(${name} PRIVATE QMBRUN="$<TARGET_FILE:qmbrun>")
  add_dependencies(${name} qmbrun)
endfunction()

# Helpers shared by every folder: the warnings of the project's own code, one
# static library per layer, one test program per test folder.
#
# Warnings are errors in the developer and CI builds (scripts/build configures
# with CMAKE_COMPILE_WARNING_AS_ERROR=ON); a plain configure only warns, so a
# new compiler's false alarm does not stop someone building a release.

set(MORVA_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)

function(morva_warnings target)
  target_compile_options(${target} PRIVATE ${MORVA_WARNINGS})
endfunction()

# morva_library(NAME SOURCES ... [DEPS ...] [PUBLIC_DEPS ...])
# DEPS are linked privately (a static library still passes them on to the
# link); PUBLIC_DEPS are those whose headers the library's own headers include.
function(morva_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} PUBLIC ${ARG_PUBLIC_DEPS})
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
  set(environment "QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
  if(MORVA_SANITIZE)
    # The leak checker guesses the size of a loaded plugin's thread-local block
    # (the print support's) from an allocator header that is not glibc's, and
    # crashes at exit when the guess points nowhere: such blocks go unscanned.
    list(APPEND environment "ASAN_OPTIONS=intercept_tls_get_addr=0")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
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
# Its tests carry the label "golden": they compare runs with stored copies,
# which `MORVA_UPDATE_GOLDEN=1 ctest -L golden` replaces.
function(morva_qmbrun_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  morva_test(${name} SOURCES ${ARG_SOURCES} DEPS rtl ${ARG_DEPS})
  target_compile_definitions(${name} PRIVATE QMBRUN="$<TARGET_FILE:qmbrun>")
  add_dependencies(${name} qmbrun)
  set_property(TEST ${name} APPEND PROPERTY LABELS golden)
endfunction()

# morva_help_page(PROGRAM): writes the help page morva.html, made from
# docs/USAGE.md, beside the program, where its Help menu looks for it.
function(morva_help_page program)
  set(page $<TARGET_FILE_DIR:${program}>/morva.html)
  add_custom_target(${program}_help ALL
    COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/docs/USAGE.md -DOUT=${page}
            -P ${PROJECT_SOURCE_DIR}/cmake/HelpPage.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/USAGE.md ${PROJECT_SOURCE_DIR}/cmake/HelpPage.cmake
    COMMENT "Help page beside ${program}"
    VERBATIM)
  add_dependencies(${program}_help ${program})
endfunction()

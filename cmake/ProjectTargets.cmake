# The LeakSanitizer suppressions for what is not ours: one list,
# tests/support/lsan.supp, compiled into every sanitized test program (as a
# string literal that sanitizer_defaults.cpp includes) and given to every
# process of a test through LSAN_OPTIONS.
set(PF_LSAN_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/support/lsan.supp)
if(PF_SANITIZE)
  file(READ ${PF_LSAN_SUPPRESSIONS} pf_lsan_text)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/lsan_suppressions.inc
       CONTENT "R\"lsan(@pf_lsan_text@)lsan\"\n" @ONLY)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
               ${PF_LSAN_SUPPRESSIONS})
  set(PF_LSAN_ENVIRONMENT
      ENVIRONMENT_MODIFICATION "LSAN_OPTIONS=set:suppressions=${PF_LSAN_SUPPRESSIONS}:print_suppressions=0")
endif()

# pf_use_sanitizer_defaults(<target>)
# In a sanitized build, the sanitizers' settings for a program of the tests
# (or the finder): sanitizer_defaults.cpp with the suppressions above.
set(PF_SANITIZER_DEFAULTS ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_defaults.cpp)
macro(pf_use_sanitizer_defaults target)
  if(PF_SANITIZE)
    target_sources(${target} PRIVATE ${PF_SANITIZER_DEFAULTS})
    # For the targets of the calling folder only: no other source sees it.
    set_source_files_properties(${PF_SANITIZER_DEFAULTS} PROPERTIES INCLUDE_DIRECTORIES
                                ${CMAKE_BINARY_DIR}/generated)
  endif()
endmacro()

# pf_add_gtest(<name> SOURCES <files...> LIBS <targets...> [GUI] [FIXTURE <name>]
#              [PREFIX <text>])
#
# One GoogleTest executable in build/bin (so that it finds the run-time
# libraries beside itself, as the program does), registered test by test with
# CTest. GUI tests link the shared main that starts a QApplication on the
# offscreen platform; the others use GoogleTest's own main. FIXTURE names a
# CTest fixture whose set-up test runs first. PREFIX goes before every test's
# name in CTest (so that `ctest -R`/`-E` can take or leave the lot).
function(pf_add_gtest name)
  cmake_parse_arguments(T "GUI" "FIXTURE;PREFIX" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  pf_use_sanitizer_defaults(${name})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE pf_gui_test_main Qt6::Widgets GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE
    PF_SOURCE_DIR="${PROJECT_SOURCE_DIR}" PF_BIN_DIR="${PF_BIN_DIR}")
  # One variable only: gtest_discover_tests flattens a list-valued property.
  # The sanitizers' own settings are compiled in (sanitizer_defaults.cpp);
  # LSAN_OPTIONS reaches the programs a test starts.
  set(fixture)
  if(T_FIXTURE)
    set(fixture FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  set(prefix)
  if(T_PREFIX)
    set(prefix TEST_PREFIX ${T_PREFIX})
  endif()
  gtest_discover_tests(${name} ${prefix}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${PF_LSAN_ENVIRONMENT} TIMEOUT 600 ${fixture})
endfunction()

# pf_add_bench(<name> SOURCES <files...> LIBS <targets...>)
# Benchmarks build into build/bin as bench-<name> and print BENCH lines.
function(pf_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(bench-${name} ${B_SOURCES})
  target_link_libraries(bench-${name} PRIVATE ${B_LIBS})
  target_include_directories(bench-${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(bench-${name} PRIVATE
    PF_SOURCE_DIR="${PROJECT_SOURCE_DIR}" PF_BIN_DIR="${PF_BIN_DIR}")
endfunction()

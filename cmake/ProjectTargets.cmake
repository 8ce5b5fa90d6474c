# pf_add_gtest(<name> SOURCES <files...> LIBS <targets...> [GUI] [FIXTURE <name>])
#
# One GoogleTest executable in build/bin (so that it finds the run-time
# libraries beside itself, as the program does), registered test by test with
# CTest. GUI tests link the shared main that starts a QApplication on the
# offscreen platform; the others use GoogleTest's own main. FIXTURE names a
# CTest fixture whose set-up test runs first.
function(pf_add_gtest name)
  cmake_parse_arguments(T "GUI" "FIXTURE" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(PF_SANITIZE)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/sanitizer_defaults.cpp)
  endif()
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
  # The sanitizers' own settings are compiled in (sanitizer_defaults.cpp).
  set(fixture)
  if(T_FIXTURE)
    set(fixture FIXTURES_REQUIRED ${T_FIXTURE})
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 120
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600 ${fixture})
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

# Build conventions shared by every folder: one static library per folder of src/,
# one test executable per library, warnings on everywhere.

set(VN_WARNINGS -Wall -Wextra)
if(VARNETOR_WERROR)
  list(APPEND VN_WARNINGS -Werror)
endif()
if(VARNETOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Adds every CMakeLists.txt found below DIR. A folder's list defines only its own targets and
# never adds sub-folders itself, so new folders join the build without touching any other list.
function(vn_add_all_subdirectories dir)
  file(GLOB_RECURSE lists RELATIVE ${dir} CONFIGURE_DEPENDS ${dir}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(l IN LISTS lists)
    get_filename_component(d ${l} DIRECTORY)
    add_subdirectory(${dir}/${d})
  endforeach()
endfunction()

# vn_library(NAME SOURCES ... [DEPS ...])
function(vn_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${VN_WARNINGS})
  target_compile_definitions(${name} PUBLIC VARNETOR_CONVERTER_TYPE=${VARNETOR_CONVERTER_TYPE}
                                            QT_NO_KEYWORDS)
  target_link_libraries(${name} PUBLIC ${A_DEPS})
  if(VARNETOR_PCH)
    target_precompile_headers(${name} PRIVATE <QString> <QStringList> <vector> <string>)
  endif()
endfunction()

# vn_test(NAME SOURCES ... [DEPS ...] [GUI] [TIMEOUT seconds])
# GUI tests get a QApplication on the offscreen platform with a fixed font and style;
# the others a QCoreApplication. TIMEOUT bounds each of the binary's tests in ctest.
function(vn_test name)
  cmake_parse_arguments(A "GUI" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VN_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(A_GUI)
    target_link_libraries(${name} PRIVATE vn_test_main_gui)
  else()
    target_link_libraries(${name} PRIVATE vn_test_main)
  endif()
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE VN_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                                             VN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(timeout)
  if(A_TIMEOUT)
    set(timeout TIMEOUT ${A_TIMEOUT})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${timeout})
  vn_test_whole(${name})
endfunction()

# Besides each test alone, the binary runs whole in a shuffled order (the seed is printed), so a
# test that leans on or spoils another's leftovers fails; ASan also catches handlers that write
# to a finished test's locals there.
function(vn_test_whole name)
  add_test(NAME ${name}.whole COMMAND ${name} --gtest_shuffle)
  set_tests_properties(${name}.whole PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ENVIRONMENT_MODIFICATION
                       "ASAN_OPTIONS=string_append::detect_stack_use_after_return=1")
endfunction()

# vn_bench(NAME SOURCES ... [DEPS ...])
function(vn_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VN_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# vn_fuzz(NAME SOURCES ... [DEPS ...] CORPUS dir)
# A harness for a parser of outside input: SOURCES define LLVMFuzzerTestOneInput. The test suite
# always replays every file of the seed corpus through it as an ordinary test (NAME_replay), so
# CI proves the seeds cost nothing and crash nothing; with VARNETOR_FUZZ on a clang build the
# same sources also become a libFuzzer binary NAME in <build>/fuzzers for scripts/fuzz.
function(vn_fuzz name)
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;DEPS" ${ARGN})
  if(NOT name MATCHES "^fuzz_")
    message(FATAL_ERROR "fuzz harness names begin with fuzz_: ${name}")
  endif()
  if(VARNETOR_TESTS)
    add_executable(${name}_replay ${A_SOURCES})
    target_compile_options(${name}_replay PRIVATE ${VN_WARNINGS})
    target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/fuzz)
    target_link_libraries(${name}_replay PRIVATE vn_fuzz_replay_main ${A_DEPS})
    add_test(NAME ${name}.replay COMMAND ${name}_replay ${A_CORPUS})
    set_tests_properties(${name}.replay PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  if(VARNETOR_FUZZ)
    add_executable(${name} ${A_SOURCES})
    target_compile_options(${name} PRIVATE ${VN_WARNINGS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/fuzz)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${A_DEPS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
  endif()
endfunction()

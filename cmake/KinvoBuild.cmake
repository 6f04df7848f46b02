# Shared build rules: output layout, warnings, sanitizers, test and fuzz helpers.

# One program folder in the build tree, as it is installed: bin/ with Plugins/ beside the programs.
set(KINVO_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(KINVO_PLUGIN_DIR ${KINVO_BIN_DIR}/Plugins)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${KINVO_BIN_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)

if(KINVO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(KINVO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT KINVO_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KINVO_SANITIZE must be empty, address or thread")
endif()

# A fuzz build (clang) instruments every library for coverage; only the fuzz programs link libFuzzer.
if(KINVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KINVO_FUZZ needs clang: configure with CC=clang CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Our own code builds without warnings; third-party headers come in as SYSTEM.
function(kinvo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# kinvo_test(NAME SOURCES a.cpp b.cpp LIBS lib... [LABELS l...] [ENV VAR=value...] [PREFIX p])
# A GoogleTest program whose cases CTest lists one by one (their names led by PREFIX, for
# programs built twice from the same cases).
function(kinvo_test name)
  if(NOT KINVO_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "PREFIX" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  kinvo_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Listing the cases runs the program too (a Qt program needs its platform even for that), and
  # CTest's ENVIRONMENT reaches only the runs, so the listing goes through env.
  if(T_ENV)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;${T_ENV}")
  endif()
  # Tests of windows on the shared test display run one at a time: a full-screen window of one
  # would cover the windows whose pixels another reads back.
  set(lock "")
  if("x11" IN_LIST T_LABELS)
    set(lock "RESOURCE_LOCK x11display")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_PREFIX "${T_PREFIX}"
    PROPERTIES TIMEOUT 300)
  # Labels and environment are lists, which PROPERTIES would split into separate properties: they
  # are set by a script CTest reads after the discovered cases (listed in ${name}_TESTS).
  set(props_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${props_file}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES\n"
    "    LABELS [==[${T_LABELS}]==] ENVIRONMENT [==[${T_ENV}]==] ${lock})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${props_file})
endfunction()

# kinvo_fuzz(NAME SOURCES a.cpp LIBS lib...): a libFuzzer target, built only with KINVO_FUZZ.
function(kinvo_fuzz name)
  if(NOT KINVO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  kinvo_warnings(${name})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()

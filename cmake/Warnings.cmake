# One place for the warning flags every target of ours gets.
add_library(kx700_warnings INTERFACE)
target_compile_options(kx700_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual
  -Wimplicit-fallthrough -Wformat=2)
# GCC 12 reports false -Wrestrict hits inside std::string at -O2 and above
# (its bug 105329); the warning finds nothing in code that uses std::string.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(kx700_warnings INTERFACE -Wno-restrict)
endif()
if(KX700_WERROR)
  target_compile_options(kx700_warnings INTERFACE -Werror)
endif()

# Helper: a library of ours with the project's include root and warnings.
function(kx700_library name)
  add_library(${name} ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE kx700_warnings)
endfunction()

# Helper: a GoogleTest program registered with CTest (nothing when tests are
# off, so fuzz-only builds need no guards).
function(kx700_test name)
  if(NOT KX700_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;DEFINITIONS;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main kx700_warnings)
  if(T_DEFINITIONS)
    target_compile_definitions(${name} PRIVATE ${T_DEFINITIONS})
  endif()
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${T_LABELS}"
               ENVIRONMENT "KX700_TEST_STAGE=${KX700_STAGE_DIR}")
endfunction()

# Helper: a libFuzzer target, built only with KX700_FUZZ. Every one joins
# kx700_fuzzers, the only target the fuzz preset builds: the fuzzers need the
# core libraries, not the window.
function(kx700_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(KX700_FUZZ)
    if(NOT TARGET kx700_fuzzers)
      add_custom_target(kx700_fuzzers)
    endif()
    add_executable(${name} ${F_SOURCES})
    add_dependencies(kx700_fuzzers ${name})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endif()
endfunction()

# Shared compile settings and the one way to declare a library, a test or a benchmark.

# ThreadSanitizer cannot be combined with AddressSanitizer, so it is a build of its own.
string(TOLOWER "${NUMBERA_SANITIZE}" _numbera_sanitize)
set(NUMBERA_THREAD_SANITIZER OFF)
if(_numbera_sanitize STREQUAL "thread")
  set(NUMBERA_THREAD_SANITIZER ON)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(_numbera_sanitize MATCHES "^(on|yes|true|y|1)$")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(NUMBERA_SANITIZE)
  message(FATAL_ERROR "NUMBERA_SANITIZE is ON, OFF or thread, not '${NUMBERA_SANITIZE}'")
endif()

# Warnings apply to our own targets only; system headers stay quiet. GCC 12 reports a false
# -Wrestrict inside libstdc++'s std::string operator+ when optimising (GCC bug 105329), so
# that one check is left to other compilers.
function(numbera_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter
                         $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
endfunction()

# numbera_library(NAME SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
function(numbera_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
  numbera_warnings(${name})
endfunction()

# numbera_test(NAME SOURCES ... LIBS ...): one GoogleTest program, its cases listed in ctest,
# with the shared test support (tests/Support) linked in.
function(numbera_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} NumberaTestSupport
                        GTest::gtest GTest::gtest_main GTest::gmock)
  numbera_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "NUMBERA_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# numbera_benchmark(NAME [OWN_MAIN] SOURCES ... LIBS ...)
# OWN_MAIN: the program has a main of its own (for options beside the benchmark library's).
function(numbera_benchmark name)
  cmake_parse_arguments(ARG "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE benchmark::benchmark_main)
  endif()
  numbera_warnings(${name})
endfunction()

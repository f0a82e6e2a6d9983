# mosark_library(<name> [DIRS <folders>...] [DEPS <targets>...])
# One static library per source folder (DIRS, relative to the calling folder,
# defaults to the folder itself). Sources are picked up by glob so that adding
# a file needs no edit here. Headers are included as "<folder>/<file>.h" from
# the project root. A folder without sources yet becomes an interface library.
function(mosark_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  if(NOT ARG_DIRS)
    set(ARG_DIRS .)
  endif()
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# mosark_leak_suppressions(<executable>): in sanitizer builds the program
# carries the leak suppressions of cmake/lsan.supp and keeps the libraries
# it loads until it ends (see cmake/SanitizerRuntime.cpp.in), so that every
# run, with or without ctest, reports only leaks that are real. Nothing
# happens in other builds.
function(mosark_leak_suppressions target)
  if(NOT MOSARK_SANITIZE)
    return()
  endif()
  if(NOT TARGET mosark_sanitizer_runtime)
    set(supp ${PROJECT_SOURCE_DIR}/cmake/lsan.supp)
    set(generated ${PROJECT_BINARY_DIR}/generated/SanitizerRuntime.cpp)
    file(READ ${supp} MOSARK_LSAN_SUPPRESSIONS)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/SanitizerRuntime.cpp.in ${generated} @ONLY)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${supp})
    # Objects, not an archive: the linker would drop hooks nothing calls.
    add_library(mosark_sanitizer_runtime OBJECT ${generated})
  endif()
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:mosark_sanitizer_runtime>)
  # Shared libraries must find the program's dlclose first.
  target_link_options(${target} PRIVATE -Wl,--export-dynamic-symbol=dlclose)
endfunction()

# mosark_test(<folder> DEPS <targets>... [DRAWS_THROUGH_GL <patterns>...]):
# every tests/<folder>/*.cpp in one GoogleTest executable, each test registered
# with CTest. DRAWS_THROUGH_GL names, as GoogleTest filter patterns, the tests
# whose process loads Mesa's driver; sanitizer builds run them without leak
# checking, since LeakSanitizer's own tracer can crash at exit in such a process.
function(mosark_test folder)
  cmake_parse_arguments(ARG "" "" "DEPS;DRAWS_THROUGH_GL" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  mosark_leak_suppressions(${target})
  set(environment "SDL_VIDEODRIVER=offscreen;SDL_AUDIODRIVER=dummy")
  if(MOSARK_SANITIZE AND ARG_DRAWS_THROUGH_GL)
    list(JOIN ARG_DRAWS_THROUGH_GL ":" gl_filter)
    mosark_discover_tests(${target} ${target}_GL_TESTS "${gl_filter}" "${environment};ASAN_OPTIONS=detect_leaks=0")
    mosark_discover_tests(${target} ${target}_TESTS "-${gl_filter}" "${environment}")
  else()
    mosark_discover_tests(${target} ${target}_TESTS "" "${environment}")
  endif()
endfunction()

# mosark_discover_tests(<target> <list> <filter> <environment>): registers the
# target's tests that match the GoogleTest filter (all for ""), listed in
# <list>, to run with the environment. gtest_discover_tests would split the
# environment's entries into properties of their own, so a script of ours,
# which CTest reads after the discovery's, sets it.
function(mosark_discover_tests target list filter environment)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    TEST_FILTER "${filter}"
    TEST_LIST ${list})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${list}_environment.cmake)
  file(CONFIGURE OUTPUT ${script} CONTENT [=[
if(@list@)
  set_tests_properties(${@list@} PROPERTIES ENVIRONMENT [==[@environment@]==])
endif()
]=] @ONLY)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

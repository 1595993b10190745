# Helpers shared by the module, tool, test and benchmark folders.

if(WIN32)
  set(QUILLET_BACKEND win32)
else()
  set(QUILLET_BACKEND posix)
endif()

# quillet_module(NAME [NO_EXCEPTIONS] [LIBS ...])
# A static library named quillet_NAME built from src/NAME/*.cpp and
# src/NAME/<backend>/*.cpp, with src/ as its include root.
function(quillet_module name)
  cmake_parse_arguments(ARG "NO_EXCEPTIONS" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${QUILLET_BACKEND}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_library(quillet_${name} STATIC ${sources})
  target_include_directories(quillet_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(ARG_NO_EXCEPTIONS)
    target_compile_options(quillet_${name} PRIVATE -fno-exceptions)
  endif()
  if(ARG_LIBS)
    target_link_libraries(quillet_${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# quillet_test(NAME SOURCES ... LIBS ...)
# One GoogleTest program per module. Natively every test case is a CTest test;
# under Wine the program runs as one test so that Wine starts once.
function(quillet_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_SOURCES)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    QUILLET_FIXTURES="${CMAKE_SOURCE_DIR}/tests/fixtures")
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  endif()
endfunction()

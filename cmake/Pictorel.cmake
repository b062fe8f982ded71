# pictorel_soname(VAR LIBRARY): the name the dynamic loader knows LIBRARY by, for a library loaded
# with dlopen when first needed.
function(pictorel_soname var library)
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${library} OUTPUT_VARIABLE headers ERROR_QUIET)
  if(NOT headers MATCHES "SONAME +([^ \n]+)")
    message(FATAL_ERROR "cannot read the SONAME of ${library}")
  endif()
  set(${var} ${CMAKE_MATCH_1} PARENT_SCOPE)
endfunction()

# pictorel_library(NAME DEPENDS <libs...>): one static library per subsystem folder.
# Sources are picked up from the folder and its subfolders, so adding a class needs no edit here. A
# subsystem's pages/ subfolder holds its widgets and is a library of its own (NAME_pages), so that
# the linker keeps Qt Widgets out of the models and commands. A class with Q_OBJECT
# includes its moc file at the end of its .cpp, which puts its meta-object code in that class's own
# object file: a program then links only the classes it uses, not every widget of the library.
function(pictorel_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/pages/")
  if(NOT sources)
    # A subsystem not built yet: a placeholder its dependants can already link.
    add_library(pictorel_${name} INTERFACE)
    target_include_directories(pictorel_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(pictorel_${name} INTERFACE ${ARG_DEPENDS})
    return()
  endif()
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER headers EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/pages/")
  add_library(pictorel_${name} STATIC ${sources} ${headers})
  target_include_directories(pictorel_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(pictorel_${name} PUBLIC ${ARG_DEPENDS})
  pictorel_precompiled_header(pictorel_${name})
endfunction()

# One precompiled header for the program's targets, compiled once with the lowest library, and one
# for the tests, the same with GoogleTest, compiled once with the test support library.
function(pictorel_precompiled_header target)
  if(target STREQUAL "pictorel_foundation")
    target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/pch.h)
  elseif(target STREQUAL "pictorel_testsupport")
    target_precompile_headers(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src/pch.h <gtest/gtest.h>)
  elseif(target MATCHES "_tests$|^pictorel_nettestsupport$")
    target_precompile_headers(${target} REUSE_FROM pictorel_testsupport)
  else()
    target_precompile_headers(${target} REUSE_FROM pictorel_foundation)
  endif()
endfunction()

# Test code is built at -O1 with line tables only: the code under test keeps the build's own
# settings, and a test program compiles in little more than half the time.
function(pictorel_test_flags target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:RelWithDebInfo>:-O1 -g1>)
endfunction()

# pictorel_test(SUBSYSTEM): one test executable per subsystem, each test suite its own CTest entry.
function(pictorel_test name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE pictorel_testsupport pictorel_${name})
  if(TARGET pictorel_${name}_pages)
    target_link_libraries(${name}_tests PRIVATE pictorel_${name}_pages)
  endif()
  pictorel_test_flags(${name}_tests)
  pictorel_precompiled_header(${name}_tests)
  target_compile_definitions(${name}_tests PRIVATE PICTOREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(suites ${CMAKE_CURRENT_BINARY_DIR}/${name}_suites.cmake)
  file(GENERATE OUTPUT ${suites} CONTENT "set(SUBSYSTEM ${name})
set(TEST_EXECUTABLE \"$<TARGET_FILE:${name}_tests>\")
set(TEST_WORKING_DIRECTORY \"${CMAKE_CURRENT_BINARY_DIR}\")
include(\"${PROJECT_SOURCE_DIR}/cmake/TestSuites.cmake\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${suites})
endfunction()

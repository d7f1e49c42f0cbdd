# cocina_library(NAME DIR DEPS...): one static library per layer, made of
# every .cpp file in DIR itself (its subfolders are layers of their own), so
# adding a source file needs no edit of a build file. DEPS are the layers its
# files include, and nothing more. A folder of headers alone gives an
# interface library.
function(cocina_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# cocina_test(NAME DIR DEPS...): one GoogleTest program per folder of tests,
# made of every *_test.cpp in DIR plus any helper .cpp there, linked with the
# core test-support library (tests/support) besides DEPS.
function(cocina_test name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARGN} cocina_test_support GTest::gtest GTest::gtest_main
    Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    COCINA_FIXTURES_DIR="${COCINA_FIXTURES_DIR}"
    COCINA_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# cocina_library_files(NAME FILES f... [DEPS d...]): a library of the listed
# files only (paths under src/), for a folder whose display-free part and Qt
# part build apart: the display-free part must also build without Qt.
function(cocina_library_files name)
  cmake_parse_arguments(arg "" "" "FILES;DEPS" ${ARGN})
  list(TRANSFORM arg_FILES PREPEND "${CMAKE_SOURCE_DIR}/src/")
  add_library(${name} STATIC ${arg_FILES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${arg_DEPS})
endfunction()

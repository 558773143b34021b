# SPDX-FileCopyrightText: 2026 The Tovrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
# tovrel_module(NAME DEPENDS dep...) builds the static library tovrel_NAME
# from every .cpp/.h/.qrc file of the module's folder (new files are picked up
# at the next build without editing any list).
function(tovrel_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  # fuzz/ holds fuzz targets, host/ programs run at build time.
  list(FILTER srcs EXCLUDE REGEX "/(fuzz|host)/")
  set(cpps ${srcs})
  list(FILTER cpps INCLUDE REGEX "\\.cpp$")
  if(NOT cpps)
    message(FATAL_ERROR "the module ${name} has no source files in ${CMAKE_CURRENT_SOURCE_DIR}")
  endif()
  add_library(tovrel_${name} STATIC ${srcs})
  target_include_directories(tovrel_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(tovrel_${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# tovrel_tests(NAME DEPENDS lib...) builds tests_NAME from the .cpp files of
# the current test folder and registers every test case with CTest.
function(tovrel_tests name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT srcs)
    message(FATAL_ERROR "the test folder ${CMAKE_CURRENT_SOURCE_DIR} has no source files")
  endif()
  add_executable(tests_${name} ${srcs})
  target_link_libraries(tests_${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gmock tovrel_testmain)
  target_compile_definitions(tests_${name} PRIVATE
    TOVREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TOVREL_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
    TOVREL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(tests_${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS ${name}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST)
endfunction()

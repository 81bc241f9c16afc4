# What the Windows build does differently, included from the top-level CMakeLists.txt after the
# program target. The program itself builds unchanged; here: a GUI-subsystem limnora.exe entered at
# the real WinMain, GoogleTest built from source, the tools that run on Windows, and the test files
# left out because they need the stand-in's test driver, which exists only on Linux.

# limnora.exe is a GUI-subsystem program (no console window) with its version resource and
# manifest. The C runtime's entry calls WinMain, which lives in the program library
# (app/shell.cpp); the linker has to be told to take it from there, since no object of the
# executable refers to it.
enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/limnora.rc.in ${CMAKE_BINARY_DIR}/limnora.rc @ONLY)
target_sources(limnora PRIVATE ${CMAKE_BINARY_DIR}/limnora.rc)
set_target_properties(limnora PROPERTIES WIN32_EXECUTABLE TRUE)
target_link_options(limnora PRIVATE -Wl,--undefined=WinMain)

# The tool that runs on Windows: the in-process frame capture, winshot. (terrain.raw comes from the
# generator built for the build machine: tools/data.)
if(LIMNORA_TOOLS)
  add_subdirectory(tools/capture)
endif()

if(LIMNORA_TESTS)
  # What Linux's libGL exports beyond OpenGL 1.1, for test code that calls it by name. Reaches the
  # tests through limnora_win32; as a static library it adds nothing to programs that do not call
  # these functions.
  add_library(limnora_gl_exports STATIC ${CMAKE_CURRENT_LIST_DIR}/gl_exports.cpp)
  target_link_libraries(limnora_win32 INTERFACE limnora_gl_exports)

  # GoogleTest is not packaged for MinGW: build it from the sources Debian ships, and let
  # find_package(GTest) in tests/ find these targets instead of searching the target's root.
  set(LIMNORA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LIMNORA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  file(WRITE ${CMAKE_FIND_PACKAGE_REDIRECTS_DIR}/gtest-config.cmake
       "# GTest::gtest and GTest::gtest_main come from add_subdirectory in the Windows build.\n")

  # The test files that build and run against the real Win32, named one by one: a test runs on
  # Windows only when it is listed here. Left out are the files that need the Linux stand-in
  # (platform/win32_standin/: the test driver with its scripted answers and keys, failure
  # injection, swap hook and clock; the layer's internals), directly or through test helpers, and
  # the tests of the Linux tools (they run Unix commands and link libpng). tests/CMakeLists.txt
  # removes LIMNORA_TEST_EXCLUDES, every test file not listed, from its globs.
  set(windows_tests
    tests/app/controls_test.cpp
    tests/plants/bend_test.cpp
    tests/plants/field_test.cpp
    tests/plants/wind_test.cpp
    tests/platform/cg/cg_capture.cpp
    tests/platform/cg/cg_gen.cpp
    tests/platform/cg/cg_gen_eval.cpp
    tests/platform/cg/cg_gen_program.cpp
    tests/platform/cg/cg_rules_gl_test.cpp
    tests/platform/cg/compiler_accept_test.cpp
    tests/platform/cg/compiler_reject_test.cpp
    tests/platform/cg/generated_programs_test.cpp
    tests/platform/cg/programs_gl_test.cpp
    tests/platform/cg/runtime_test.cpp
    tests/platform/cg/tutorial_programs.cpp
    tests/platform/cg/wind_program_test.cpp
    tests/support/gl_window.cpp
    tests/support/program_state.cpp
    tests/support/test_main.cpp
    tests/water/normals_test.cpp
    tests/water/water_test.cpp)
  file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*.cpp)
  set(LIMNORA_TEST_EXCLUDES "")
  foreach(source IN LISTS test_sources)
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
    if(NOT relative IN_LIST windows_tests)
      list(APPEND LIMNORA_TEST_EXCLUDES ${source})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES LIMNORA_TEST_EXCLUDES)
  list(LENGTH LIMNORA_TEST_EXCLUDES excluded_count)
  message(STATUS "Windows build: ${excluded_count} test files not on the Windows list, left out")
endif()

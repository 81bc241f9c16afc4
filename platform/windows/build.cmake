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

# Tools that run on Windows: the terrain generator (the build runs it through Wine to put
# terrain.raw beside the program) and the in-process frame capture.
if(LIMNORA_TOOLS)
  add_subdirectory(tools/terrain)
  add_subdirectory(tools/winshot)
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

  # Test files that cannot run against the real Win32: those that include a header of the Linux
  # stand-in (platform/win32/: the test driver with its scripted answers and keys, failure
  # injection, swap hook and clock; the layer's internals), directly or through test helpers; and
  # the tests of the Linux tools (they run Unix commands and link libpng).
  # tests/CMakeLists.txt removes LIMNORA_TEST_EXCLUDES from its globs.
  file(GLOB_RECURSE test_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*.h)
  file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*.cpp)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${test_headers} ${test_sources})
  # Grows the pattern by the helper headers that include a header it already matches, until no
  # more are found.
  set(linux_only_pattern "platform/win32/[A-Za-z0-9_]+[.]h")
  set(linux_only_headers "")
  set(growing TRUE)
  while(growing)
    set(growing FALSE)
    foreach(header IN LISTS test_headers)
      if(header IN_LIST linux_only_headers)
        continue()
      endif()
      file(STRINGS ${header} linux_only REGEX "#include \"(${linux_only_pattern})\"")
      if(linux_only)
        list(APPEND linux_only_headers ${header})
        file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${header})
        string(REPLACE "." "[.]" escaped ${relative})
        string(APPEND linux_only_pattern "|${escaped}")
        set(growing TRUE)
      endif()
    endforeach()
  endwhile()
  set(LIMNORA_TEST_EXCLUDES "")
  foreach(source IN LISTS test_sources)
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${source})
    file(STRINGS ${source} linux_only REGEX "#include \"(${linux_only_pattern})\"")
    if(linux_only OR relative MATCHES "^tests/tools/")
      list(APPEND LIMNORA_TEST_EXCLUDES ${source})
    endif()
  endforeach()
  # A folder left with helpers only would make a test program without tests.
  foreach(source IN LISTS test_sources)
    get_filename_component(folder ${source} DIRECTORY)
    file(GLOB folder_tests ${folder}/*_test.cpp)
    if(folder_tests)
      list(REMOVE_ITEM folder_tests ${LIMNORA_TEST_EXCLUDES})
    endif()
    if(NOT folder_tests AND NOT folder MATCHES "/tests/support$")
      list(APPEND LIMNORA_TEST_EXCLUDES ${source})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES LIMNORA_TEST_EXCLUDES)
  list(LENGTH LIMNORA_TEST_EXCLUDES excluded_count)
  message(STATUS "Windows build: ${excluded_count} test files need the Linux stand-in, left out")
endif()

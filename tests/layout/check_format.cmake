# Every C++ source and header of the program, the stand-ins, the tests and the tools is formatted
# as .clang-format says. Run as
#   cmake -DROOT=<repository> -DCLANG_FORMAT=<clang-format> -P tests/layout/check_format.cmake
# and fails naming every file clang-format would change.
cmake_minimum_required(VERSION 3.25)
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "check_format: no clang-format (scripts/setup installs it)")
endif()
file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/app/* ${ROOT}/scene/* ${ROOT}/hud/* ${ROOT}/water/* ${ROOT}/plants/* ${ROOT}/terrain/*
  ${ROOT}/platform/* ${ROOT}/tests/* ${ROOT}/tools/*)
list(FILTER sources INCLUDE REGEX "[.](cpp|h)$")
set(unformatted "")
foreach(source IN LISTS sources)
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${source}
                  WORKING_DIRECTORY ${ROOT} RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    list(APPEND unformatted ${source})
  endif()
endforeach()
if(unformatted)
  list(JOIN unformatted "\n  " text)
  message(FATAL_ERROR "Not formatted as .clang-format says (run clang-format -i):\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "check_format: ${count} files formatted")

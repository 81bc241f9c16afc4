# The program ships without the test driver and the test hooks: nm of PROGRAM must show none of
# their names, while nm of DRIVEN (a test program) must show them, so that the names looked for
# are the real ones. Run as
#   cmake -DNM=<nm> -DPROGRAM=<limnora> -DDRIVEN=<test program> -P check_no_hooks.cmake
cmake_minimum_required(VERSION 3.25)
set(hook_names "Driver[A-Z][A-Za-z]*|SdlLogCall|SdlCallFails|CgGlBeforeLink|CgGlHideProfile")

function(symbols file out)
  execute_process(COMMAND ${NM} -C ${file} OUTPUT_VARIABLE text RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "check_no_hooks: ${NM} ${file} failed (${result})")
  endif()
  string(REGEX MATCHALL "[^\n]*(${hook_names})[^\n]*" found "${text}")
  set(${out} "${found}" PARENT_SCOPE)
  if(NOT text MATCHES "WinMain")
    message(FATAL_ERROR "check_no_hooks: no WinMain in ${file}: not the program's symbols")
  endif()
endfunction()

symbols(${DRIVEN} driven)
foreach(name DriverInstall SdlDriverBeforeSwap SdlCallFails CgGlBeforeLink CgGlHideProfile)
  if(NOT driven MATCHES "${name}")
    message(FATAL_ERROR "check_no_hooks: ${name} is not in ${DRIVEN}; the check looks for the wrong names")
  endif()
endforeach()

symbols(${PROGRAM} shipped)
if(shipped)
  list(JOIN shipped "\n  " text)
  message(FATAL_ERROR "The program holds test driver or hook symbols:\n  ${text}")
endif()
message(STATUS "check_no_hooks: no driver or hook symbol in ${PROGRAM}")

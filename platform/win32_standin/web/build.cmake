# The browser build (emcmake; scripts/web runs it): the program's own sources to WebAssembly on
# WebGL 2, over the Win32 stand-in's shared parts with its browser backend (web/), the Cg stand-in
# and the GL 1.1 stand-in over OpenGL ES 3.0 (platform/gl_standin/). terrain.raw, wind.cg and the
# baked glyphs.bin (LIMNORA_WEB_DATA, made by the native build) are packed into the page's file
# system. LIMNORA_WEB_TEST adds the capture hook of the test build (web/test_hook.cpp), never the
# page users open.
set(LIMNORA_WEB_DATA "" CACHE PATH "folder holding terrain.raw, wind.cg and glyphs.bin")
option(LIMNORA_WEB_TEST "Build the page with the test capture hook" OFF)

set(win32_dir ${PROJECT_SOURCE_DIR}/platform/win32_standin)
file(GLOB win32_shared CONFIGURE_DEPENDS ${win32_dir}/*.cpp)
# What needs SDL, FreeType, fontconfig or GLU, and what only tests link, stays native.
list(FILTER win32_shared EXCLUDE REGEX "_sdl[.]cpp$")
list(REMOVE_ITEM win32_shared ${win32_dir}/entry.cpp ${win32_dir}/driver.cpp ${win32_dir}/font.cpp
     ${win32_dir}/font_face.cpp ${win32_dir}/font_freetype.cpp ${win32_dir}/font_bake_write.cpp)
file(GLOB win32_web CONFIGURE_DEPENDS ${win32_dir}/web/*.cpp)
if(NOT LIMNORA_WEB_TEST)
  list(REMOVE_ITEM win32_web ${win32_dir}/web/test_hook.cpp)
endif()
add_library(limnora_win32 STATIC ${win32_shared} ${win32_web})
target_compile_definitions(limnora_win32 PRIVATE LIMNORA_SHIPPED)

file(GLOB cg_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/cg/compiler/*.cpp
     ${PROJECT_SOURCE_DIR}/platform/cg/runtime/*.cpp)
add_library(limnora_cg STATIC ${cg_sources})
target_compile_definitions(limnora_cg PRIVATE LIMNORA_SHIPPED)

set(web_libraries limnora_win32 limnora_cg)
if(EXISTS ${PROJECT_SOURCE_DIR}/platform/gl_standin/CMakeLists.txt)
  add_subdirectory(platform/gl_standin)
  list(APPEND web_libraries limnora_gl_standin)
  add_compile_definitions(LIMNORA_GL_STANDIN)
endif()

file(GLOB program_sources CONFIGURE_DEPENDS
  app/*.cpp scene/*.cpp water/*.cpp plants/*.cpp terrain/*.cpp hud/*.cpp)
add_library(limnora_program STATIC ${program_sources})
target_link_libraries(limnora_program PUBLIC ${web_libraries})

add_executable(limnora ${win32_dir}/web/entry_web.cpp)
target_link_libraries(limnora PRIVATE limnora_program)
set_target_properties(limnora PROPERTIES SUFFIX ".js")
# The program's loop never returns: it yields to the browser in SwapBuffers and while it waits
# (emscripten_sleep, the only yielding import). confirm() and alert() block by themselves.
target_link_options(limnora PRIVATE
  -sASYNCIFY -sASYNCIFY_IMPORTS=[emscripten_sleep]
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
  -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web -sEXIT_RUNTIME=1
  -sEXPORTED_RUNTIME_METHODS=[callMain]
  "SHELL:--preload-file ${LIMNORA_WEB_DATA}/terrain.raw@terrain.raw"
  "SHELL:--preload-file ${LIMNORA_WEB_DATA}/wind.cg@wind.cg"
  "SHELL:--preload-file ${LIMNORA_WEB_DATA}/glyphs.bin@glyphs.bin")

# The browser build (emcmake; scripts/web runs it): the program's own sources to WebAssembly on
# WebGL 2, over the Win32 stand-in's shared parts with its browser backend (web/), the Cg stand-in
# and the GL 1.1 stand-in over OpenGL ES 3.0 (platform/gl_standin/). terrain.raw, wind.cg and the
# baked glyphs.bin (LIMNORA_WEB_DATA, made by the native build) are packed into the page's file
# system. LIMNORA_WEB_TEST builds the test page, with the capture hook of web/frame_test.cpp in
# place of web/frame_page.cpp; the page users open never has it.
set(LIMNORA_WEB_DATA "" CACHE PATH "folder holding terrain.raw, wind.cg and glyphs.bin")
option(LIMNORA_WEB_TEST "Build the page with the test capture hook" OFF)

set(win32_dir ${PROJECT_SOURCE_DIR}/platform/win32_standin)
file(GLOB win32_shared CONFIGURE_DEPENDS ${win32_dir}/*.cpp)
# What needs SDL, FreeType, fontconfig or GLU, and what only tests link, stays native.
list(FILTER win32_shared EXCLUDE REGEX "_sdl[.]cpp$")
list(REMOVE_ITEM win32_shared ${win32_dir}/entry.cpp ${win32_dir}/driver.cpp ${win32_dir}/font.cpp
     ${win32_dir}/font_face.cpp ${win32_dir}/font_freetype.cpp ${win32_dir}/font_bake_write.cpp)
file(GLOB win32_web CONFIGURE_DEPENDS ${win32_dir}/web/*.cpp)
if(LIMNORA_WEB_TEST)
  list(REMOVE_ITEM win32_web ${win32_dir}/web/frame_page.cpp)
else()
  list(REMOVE_ITEM win32_web ${win32_dir}/web/frame_test.cpp)
endif()
add_library(limnora_win32 STATIC ${win32_shared} ${win32_web})
target_compile_definitions(limnora_win32 PRIVATE LIMNORA_SHIPPED)

file(GLOB cg_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/cg/compiler/*.cpp
     ${PROJECT_SOURCE_DIR}/platform/cg/runtime/*.cpp)
add_library(limnora_cg STATIC ${cg_sources})
target_compile_definitions(limnora_cg PRIVATE LIMNORA_SHIPPED)

# GL 1.1 reaches WebGL 2 through the stand-in; its target carries LIMNORA_GL_STANDIN to all that
# links it, so that platform/gl.h maps the GL names onto it.
add_subdirectory(platform/gl_standin)
target_link_libraries(limnora_win32 PUBLIC limnora_gl_standin)
target_link_libraries(limnora_cg PUBLIC limnora_gl_standin)
set(web_libraries limnora_win32 limnora_cg limnora_gl_standin)

file(GLOB program_sources CONFIGURE_DEPENDS
  app/*.cpp scene/*.cpp water/*.cpp plants/*.cpp terrain/*.cpp hud/*.cpp)
add_library(limnora_program STATIC ${program_sources})
target_link_libraries(limnora_program PUBLIC ${web_libraries})

add_executable(limnora ${win32_dir}/web/entry_web.cpp)
target_link_libraries(limnora PRIVATE limnora_program)
set_target_properties(limnora PROPERTIES SUFFIX ".js")
# The program's records are fixed-size globals (about 42 MB), hence the initial memory. Its loop
# never returns: it yields to the browser in SwapBuffers and while it waits (emscripten_sleep, the
# only yielding import). confirm() and alert() block by themselves. As on Windows, nothing lies in
# the lowest 64 KB, where Win32 reads a pointer as an atom (a class name, a resource number).
target_link_options(limnora PRIVATE
  -sASYNCIFY -sASYNCIFY_IMPORTS=[emscripten_sleep]
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
  -sGLOBAL_BASE=65536 -sINITIAL_MEMORY=64MB -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web -sEXIT_RUNTIME=1
  -sEXPORTED_RUNTIME_METHODS=[callMain]
  "SHELL:--preload-file ${LIMNORA_WEB_DATA}/terrain.raw@terrain.raw"
  "SHELL:--preload-file ${LIMNORA_WEB_DATA}/wind.cg@wind.cg"
  "SHELL:--preload-file ${LIMNORA_WEB_DATA}/glyphs.bin@glyphs.bin")

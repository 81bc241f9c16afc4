# Installation and packages, included from the top-level CMakeLists.txt after the program, its
# data and the tools. `cmake --install` lays Limnora out under any prefix; CPack makes the Debian
# package (Linux) or the zip (the MinGW build) from that layout; scripts/package runs both. The
# build folder keeps its own layout, the program beside its data in bin/.
set(CPACK_PACKAGE_NAME limnora)
set(CPACK_PACKAGE_VENDOR "The Limnora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D scene of water, an island and plants in wind")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(LIMNORA_MAINTAINER "The Limnora developers <limnora@example.org>"
    CACHE STRING "Maintainer of the packages, 'Name <address>'")

if(WIN32)
  # The zip: one folder to unpack anywhere and start limnora.exe in, as build-windows/bin/ is.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_BINARY_DIR}/packaging/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS limnora RUNTIME DESTINATION .)
  install(FILES ${LIMNORA_BIN_DIR}/terrain.raw ${LIMNORA_BIN_DIR}/wind.cg
                ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME limnora-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(limnora_program_dir ${CMAKE_INSTALL_LIBEXECDIR}/limnora)
set(limnora_data_dir ${CMAKE_INSTALL_DATADIR}/limnora)
set(limnora_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/limnora)
set(staged ${CMAKE_BINARY_DIR}/packaging)

# bin/limnora is the launcher; the program itself lives in libexec/limnora/. The launcher reaches
# both from its own folder by relative paths, so that `cmake --install --prefix` anywhere works.
file(RELATIVE_PATH LIMNORA_LAUNCH_PROGRAM /${CMAKE_INSTALL_BINDIR} /${limnora_program_dir}/limnora)
file(RELATIVE_PATH LIMNORA_LAUNCH_DATA /${CMAKE_INSTALL_BINDIR} /${limnora_data_dir})
configure_file(${CMAKE_CURRENT_LIST_DIR}/limnora.sh.in ${staged}/limnora @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/limnora.6.in ${staged}/limnora.6 @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${staged}/changelog @ONLY)

# Manual page and changelog compressed as Debian wants them: gzip -9, no name or time stamp.
set(compressed "")
foreach(file IN ITEMS limnora.6 changelog)
  add_custom_command(
    OUTPUT ${staged}/${file}.gz
    COMMAND gzip -9nkf ${staged}/${file}
    DEPENDS ${staged}/${file})
  list(APPEND compressed ${staged}/${file}.gz)
endforeach()
add_custom_target(limnora_compressed_docs ALL DEPENDS ${compressed})

install(TARGETS limnora RUNTIME DESTINATION ${limnora_program_dir})
install(PROGRAMS ${staged}/limnora DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LIMNORA_BIN_DIR}/terrain.raw ${LIMNORA_BIN_DIR}/wind.cg
        DESTINATION ${limnora_data_dir})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/copyright
              ${staged}/changelog.gz DESTINATION ${limnora_doc_dir})
# The README links into docs/: the pages and the screenshot come along, so the links hold.
install(FILES ${PROJECT_SOURCE_DIR}/docs/architecture.md ${PROJECT_SOURCE_DIR}/docs/performance.md
              ${PROJECT_SOURCE_DIR}/docs/testing.md ${PROJECT_SOURCE_DIR}/docs/windows.md
              ${PROJECT_SOURCE_DIR}/docs/web.md
              ${PROJECT_SOURCE_DIR}/docs/screenshot.png DESTINATION ${limnora_doc_dir}/docs)
install(FILES ${staged}/limnora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/limnora.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# The icons are committed: packaging/make-icons cut them once from a frame of the scene.
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}/limnora.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The Debian package: its run-time dependencies come from the binary (dpkg-shlibdeps), plus
# libgl1, whose libGL.so.1 SDL opens at run time for GLX.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${LIMNORA_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
# A demo rather than a game to Debian: its games section is for programs in /usr/games.
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The HUD's face; without it fontconfig's default sans face is used.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-comic-neue)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION
    "Limnora draws one interactive 3D scene in real time with OpenGL: an animated,
lit water surface over an island terrain, 8000 small plants bent by a wind
that turns from plant to plant and from frame to frame, and a German
heads-up display in extruded 3D glyphs. The plants are bent either on the CPU
or by a vertex program (wind.cg) that can be edited and run from a folder of
one's own.")
include(CPack)

# What `make install` puts under the prefix: the two programs, the desktop
# entry, the software centre's metadata, the application icon at five sizes
# and the manual pages. `make package` packs the same files.
include(GNUInstallDirs)

# Installing copies what the Makefile built; it never builds every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS lumivant bitmaplist RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/lumivant.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The metadata names the README's screenshot where the released tree
# publishes it: software centres take screenshots from the web only.
set(LUMIVANT_SCREENSHOT_URL ${PROJECT_HOMEPAGE_URL}/raw/v${PROJECT_VERSION}/docs/screenshot.png)
set(metainfo io.github.lumivant.lumivant.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/${metainfo}.in ${CMAKE_BINARY_DIR}/${metainfo} @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# 16, 32 and 48 are the images of lumivant.ico; 128 and 256 the same drawing.
foreach(size 16 32 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/art/lumivant-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME lumivant.png)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/docs/man/lumivant.1 ${CMAKE_SOURCE_DIR}/docs/man/bitmaplist.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

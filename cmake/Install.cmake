# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# makes of the same files. The desktop entry, the AppStream metainfo and the
# icons share one application id, as desktop environments expect.

include(GNUInstallDirs)

set(GYROVESSEL_APP_ID io.github.gyrovessel.Gyrovessel)
set(GYROVESSEL_HOMEPAGE "https://gyrovessel.example.org" CACHE STRING
    "Web page of the game, named in the AppStream metainfo and the package")
set(GYROVESSEL_SCREENSHOT_URL "${GYROVESSEL_HOMEPAGE}/docs/scene-start.png" CACHE STRING
    "Published copy of docs/scene-start.png, the metainfo's screenshot")

set(DIST_DIR ${CMAKE_SOURCE_DIR}/dist)
configure_file(${DIST_DIR}/${GYROVESSEL_APP_ID}.metainfo.xml
               ${CMAKE_BINARY_DIR}/dist/${GYROVESSEL_APP_ID}.metainfo.xml @ONLY)
configure_file(${DIST_DIR}/gyrovessel.6.in ${CMAKE_BINARY_DIR}/dist/gyrovessel.6 @ONLY)

install(TARGETS gyrovessel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${DIST_DIR}/gyrovessel-launch DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DIST_DIR}/${GYROVESSEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/dist/${GYROVESSEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/dist/gyrovessel.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(icon_size 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/gyrovessel-${icon_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${icon_size}x${icon_size}/apps
          RENAME ${GYROVESSEL_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/gyrovessel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${GYROVESSEL_APP_ID}.svg)

# -- Debian package --
# The Depends line comes from the libraries the binary links (dpkg-shlibdeps);
# the fonts the game's faces resolve to are data, which shlibdeps cannot see,
# so they are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gyrovessel)
set(CPACK_PACKAGE_VENDOR "The Gyrovessel developers")
set(CPACK_PACKAGE_CONTACT "The Gyrovessel developers <gyrovessel@example.org>" CACHE STRING
    "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "game that trains three-dimensional mental rotation")
set(CPACK_PACKAGE_DESCRIPTION
    "A cube drifts in a window that fills the desktop; beyond each of its six lettered walls a figure, ROBO, is knocked out of its rest pose, and the player turns it back with six keys, 45 degrees a press.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${GYROVESSEL_HOMEPAGE}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)

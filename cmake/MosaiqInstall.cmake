# Installation and the Debian package. The programs go to bin/, their shared files to
# share/mosaiq/ and the freedesktop files to the places desktops look; nothing the programs write
# at run time is installed (an installed editor keeps its data in the per-user data location).
include(GNUInstallDirs)
install(TARGETS mosaiq mosaiq-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/mosaiq/help)
add_subdirectory(${PROJECT_SOURCE_DIR}/resources/desktop ${CMAKE_BINARY_DIR}/resources/desktop)
add_subdirectory(${PROJECT_SOURCE_DIR}/resources/translations ${CMAKE_BINARY_DIR}/resources/translations)

# The copyright and the change log where Debian keeps each package's documentation.
set(_doc ${CMAKE_BINARY_DIR}/resources/debian)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in ${_doc}/changelog @ONLY)
add_custom_command(OUTPUT ${_doc}/changelog.gz
  COMMAND gzip -9 -n -c ${_doc}/changelog > ${_doc}/changelog.gz
  DEPENDS ${_doc}/changelog)
add_custom_target(mosaiq_debian_doc ALL DEPENDS ${_doc}/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${_doc}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mosaiq)

set(CPACK_PACKAGE_NAME mosaiq)
set(CPACK_PACKAGE_VENDOR "The Mosaiq developers")
set(CPACK_PACKAGE_CONTACT "${MOSAIQ_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo collage editor")
set(CPACK_PACKAGE_DESCRIPTION "Mosaiq Photo Editor arranges photos into collages: photos shaped by
masks, frames, cliparts, decorations, painted strokes and styled text on one
canvas, saved as projects or exported as pictures. mosaiq-cli runs the same
engine from scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds SVG icons and the JPEG, GIF and TIFF readers through plugins, which shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-image-formats-plugins, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_THREADS 2)
include(CPack)

# Installs Scrivlane as a desktop application (programs, manuals, desktop entry,
# icons, AppStream metadata) and packages it as a Debian .deb with CPack.
set(SCRIVLANE_SHARE ${CMAKE_INSTALL_DATADIR}/scrivlane)
set(SCRIVLANE_DATA ${PROJECT_SOURCE_DIR}/data)
set(SCRIVLANE_PACKAGE_DOC ${CMAKE_INSTALL_DATADIR}/doc/scrivlane)

# Manual pages and the Debian changelog are installed compressed with gzip -9n.
set(compressed)
foreach(source doc/scrivlane.1 doc/scrivlane-cli.1 data/debian/changelog.Debian)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/generated/gz/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/${source} -DOUTPUT=${output}
            -P ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/${source} ${PROJECT_SOURCE_DIR}/cmake/Gzip.cmake VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(scrivlane_compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/generated/gz/scrivlane.1.gz
              ${CMAKE_BINARY_DIR}/generated/gz/scrivlane-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/generated/gz/changelog.Debian.gz ${SCRIVLANE_DATA}/debian/copyright
        DESTINATION ${SCRIVLANE_PACKAGE_DOC})
# The lintian warnings that do not apply to this package, each with its reason.
install(FILES ${SCRIVLANE_DATA}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME scrivlane)

# The manual and the pictures it shows; the program finds it from its own folder.
install(FILES ${PROJECT_SOURCE_DIR}/doc/Scrivlane.html ${PROJECT_SOURCE_DIR}/doc/screenshot-main.png
              ${PROJECT_SOURCE_DIR}/doc/screenshot-viewer.png
        DESTINATION ${SCRIVLANE_SHARE})

install(FILES ${SCRIVLANE_DATA}/${SCRIVLANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${SCRIVLANE_DATA}/${SCRIVLANE_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/generated/${SCRIVLANE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/${SCRIVLANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${SCRIVLANE_DATA}/icons/${SCRIVLANE_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${SCRIVLANE_DATA}/icons/hicolor/${size}x${size}/${SCRIVLANE_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

set(CPACK_PACKAGE_NAME scrivlane)
set(CPACK_PACKAGE_VENDOR "Scrivlane")
set(CPACK_PACKAGE_CONTACT "Scrivlane developers <developers@scrivlane.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Scrivlane finds and replaces text in many files at once: a normal, fuzzy or\n\
large search over the selected files or a folder tree, with backups, a report\n\
of each replacement, Undo and a file viewer. Files keep their encoding, line\n\
ends and every byte that was not replaced.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The Debian revision of data/debian/changelog.Debian's latest entry.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
# The Qt 6 runtime libraries come from dpkg-shlibdeps; the platform plugins that
# let a Qt program open a window are a plugin package no library links to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_GENERATOR DEB)
include(CPack)

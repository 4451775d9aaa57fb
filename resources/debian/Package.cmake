# The Debian package (`cpack -G DEB` in the build folder, or scripts/package):
# everything `cmake --install` puts under /usr, with the documents Debian asks
# of every package, and dependencies computed from the program's libraries
# plus the GStreamer plugins it loads by name at run time.
set(ILX_DEBIAN_FOLDER ${CMAKE_CURRENT_LIST_DIR})
set(ILX_DEBIAN_BUILD ${CMAKE_BINARY_DIR}/debian)
set(ILX_MAINTAINER "i-Lumerix developers <developers@ilumerix.org>")

# Debian's documents: the copyright, the changelog and the manual page, the
# last two compressed without a time stamp so that builds are reproducible.
configure_file(${ILX_DEBIAN_FOLDER}/changelog.in ${ILX_DEBIAN_BUILD}/changelog @ONLY)
configure_file(${ILX_DEBIAN_FOLDER}/ilumerix.1 ${ILX_DEBIAN_BUILD}/ilumerix.1 @ONLY)
find_program(ILX_GZIP gzip REQUIRED)
foreach(doc changelog ilumerix.1)
    add_custom_command(OUTPUT ${ILX_DEBIAN_BUILD}/${doc}.gz
        COMMAND ${ILX_GZIP} -9nc ${ILX_DEBIAN_BUILD}/${doc} > ${ILX_DEBIAN_BUILD}/${doc}.gz
        DEPENDS ${ILX_DEBIAN_BUILD}/${doc}
        VERBATIM)
endforeach()
add_custom_target(ilx_debian_docs ALL
    DEPENDS ${ILX_DEBIAN_BUILD}/changelog.gz ${ILX_DEBIAN_BUILD}/ilumerix.1.gz)
include(GNUInstallDirs)
install(FILES ${ILX_DEBIAN_FOLDER}/copyright ${ILX_DEBIAN_BUILD}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${ILX_DEBIAN_BUILD}/ilumerix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ilumerix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ILX_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "webcam motion watch with pictures and alarm")
# The extended description; the synopsis comes first from the summary.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "i-Lumerix Light Edition shows the live picture of a webcam, a network
camera (RTSP or HTTP) or its built-in demo camera and watches it for
motion. When enough of the picture changes it saves a time-stamped JPEG
picture, turns the video panel red, plays an alarm and writes it to a log.

A weekly schedule switches watching on and off, and a viewer browses the
pictures day by day and prints, copies or deletes them.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by name, so no library link tells of them: the sources, decoders,
# converters and sinks of the cameras, the clips' encoder and muxer, the
# preview's X11 sink, the alarm's sound output and the window system plugin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, gstreamer1.0-x, gstreamer1.0-pulseaudio | gstreamer1.0-alsa, qt6-qpa-plugins")
# Wayland sessions, passwords kept in the desktop's keyring, documents opened
# with the desktop's programs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, gnome-keyring | kwalletmanager, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The package's own build folder, apart from the build's files.
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The Debian package (`scripts/package`, or `cpack -G DEB` in a build
# folder): what `cmake --install` installs, under /usr. The libraries the
# programs link are found by dpkg-shlibdeps; what they run or load by name
# is listed by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <packages@velmora.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns photos into a video DVD with music and a menu")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmora makes a video DVD that plays on DVD players from folders of photos: \
slideshows with motion, transitions and music, and a themed DVD menu. It writes \
a DVD folder, an ISO image or a disc. velmora is the desktop program, \
velmora-cli the command-line builder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://velmora.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Run as programs: dvdauthor and spumux (package dvdauthor), genisoimage.
# Loaded by Qt at run time: the platform plugins and the image formats.
# libwmf draws metafiles only with the PostScript fonts; captions named
# "Arial" need a metric-compatible font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "dvdauthor, genisoimage, qt6-qpa-plugins, qt6-image-formats-plugins, gsfonts, fonts-liberation2")
include(CPack)

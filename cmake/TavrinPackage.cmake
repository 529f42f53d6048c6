# The Debian package: `cpack -G DEB` in the build folder writes tavrin_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "The Tavrin developers")
set(CPACK_PACKAGE_CONTACT "The Tavrin developers <tavrin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compose and write what a rotating LED board shows")
set(CPACK_PACKAGE_DESCRIPTION
    "Tavrin composes what a rotating persistence-of-vision LED board shows - a column of 8, 16, 24 or
32 LEDs spun by an 8051-family microcontroller - and writes it to the board over a serial port.
It also builds Intel HEX firmware with the content embedded. tavrin-cli does the same work from
a shell, without a display.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://tavrin.example.org)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Song face and the CJK face its other texts fall back to; the Qt image plugins for
# JPG and GIF pictures come with libqt6gui6, which the libraries already require. Qt's own
# catalogues make standard buttons and file dialogs speak the window's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming")
# GNU Unifont draws clean strokes on a 16-LED board: a pixel face drawn at 16 px.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, fonts-unifont, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

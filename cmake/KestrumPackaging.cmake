# The Debian package: `cpack -G DEB` in a build folder makes
# kestrum_<version>-<release>_<arch>.deb from the install rules.

set(CPACK_PACKAGE_NAME kestrum)
set(CPACK_PACKAGE_VENDOR "The Kestrum developers")
set(CPACK_PACKAGE_CONTACT "The Kestrum developers <maintainers@users.noreply.c-seed-681207a3.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "heavenly-hand (tenhou) simulator for mahjong, with a Japanese window")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrum deals mahjong hands over and over and counts how often the dealer's
opening fourteen tiles already form a complete hand, the heavenly hand
(tenhou). Each one is announced, logged and kept in lifetime records.
.
The command-line companion kestrum-sim plays the same games at full speed on
every core, checks hands, computes the exact probability and plots the
measured rate against it.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KESTRUM_HOMEPAGE})
# Depends come from the shared libraries the programs link (dpkg-shlibdeps),
# never from a list kept by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window falls back to IPA Gothic for its Japanese text, and the chime is
# decoded by GStreamer's base plugins; without them it still runs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic, gstreamer1.0-plugins-base")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

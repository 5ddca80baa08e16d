# The Windows download: `cpack` in the windows build makes a ZIP of whatever
# the install rules put in (kestrum.exe from win32/, the read-me), flat, as
# the program is one file, and an NSIS installer with a Start-menu entry.

install(FILES ${PROJECT_SOURCE_DIR}/dist/windows/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME kestrum)
set(CPACK_PACKAGE_VENDOR "The Kestrum developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "heavenly-hand (tenhou) simulator for mahjong, with a Japanese window")
set(CPACK_PACKAGE_FILE_NAME kestrum-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "ZIP;NSIS")
# The NSIS lines below hold quotes and backslashes that must reach the
# script as written.
set(CPACK_VERBATIM_VARIABLES ON)

set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

# A 64-bit installer for the 64-bit program (Debian's NSIS has the amd64
# stubs), installing into the 64-bit Program Files; it also runs where Wine
# has no 32-bit side.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kestrum)
set(CPACK_NSIS_PACKAGE_NAME Kestrum)
set(CPACK_NSIS_DISPLAY_NAME Kestrum)
set(CPACK_NSIS_URL_INFO_ABOUT ${KESTRUM_HOMEPAGE})
set(CPACK_NSIS_INSTALLED_ICON_NAME kestrum.exe)
# The Start-menu entry. The log is written in the folder the program starts
# in, and an ordinary user may not write in Program Files: the entry starts
# it in the user's documents (a shortcut keeps the output folder that is
# current when it is made).
set(CPACK_NSIS_CREATE_ICONS_EXTRA
    "SetOutPath \"$DOCUMENTS\"
  CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\Kestrum.lnk\" \"$INSTDIR\\kestrum.exe\"
  SetOutPath \"$INSTDIR\"")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "Delete \"$SMPROGRAMS\\$MUI_TEMP\\Kestrum.lnk\"")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)

include(CPack)

# `cpack -G DEB`: a Debian package of the installed tree, its dependencies computed from
# the programs' shared libraries.
set(CPACK_PACKAGE_NAME hushvault)
set(CPACK_PACKAGE_VENDOR "The Hushvault developers")
set(CPACK_PACKAGE_CONTACT "The Hushvault developers <developers@hushvault.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "erase activity traces, wipe files beyond recovery and lock them with a password")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Hushvault removes the traces that using a computer leaves behind: recent documents, "
    "thumbnails, caches, the trash, and web browsers' history, cookies and cache. It wipes "
    "files beyond recovery and encrypts them into password-locked .vlt files. The window "
    "chooses what to clean on pages of check boxes; hushvault-cli does the same from "
    "scripts and on a schedule.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.hushvault.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its window-system plugins at run time, so no library link names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)

# `cpack -G DEB` (after a build) makes a Debian package that installs the
# program folder under /opt/pixelvane, and the menu entry and icon where the
# desktop looks for them. The folder is read-only for users: the menu entry
# starts the launcher, which runs a per-user copy of it.
set(CPACK_PACKAGE_NAME pixelvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "pixelvane")
set(CPACK_PACKAGE_CONTACT "pixelvane developers <pixelvane@velbrook.test>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "velbrook photo uploader: edit photos and upload them to your albums")
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/pixelvane)
# Install rules see the final prefix (the menu entry names the launcher by it).
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /opt/pixelvane)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Chinese texts need a font with the ideographs.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/DebMenu.cmake")
set(CPACK_PV_PREFIX /opt/pixelvane)
include(CPack)

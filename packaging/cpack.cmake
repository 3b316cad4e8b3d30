# The Debian package, built with `cmake --build <build> --target package`. Included from the
# top-level CMakeLists.txt after every install rule.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brinmoor)
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "geometry demonstration: equilateral triangles on a triangle's sides")
# One line per control-file line, so `apt show` wraps nothing.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Brinmoor draws triangle ABC and an equilateral triangle on each of its sides,"
    "for teaching geometry in the classroom. Dragging vertex A moves the whole"
    "figure; the quadrilateral AFED stays a parallelogram. Its texts are Japanese.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER Tolvane)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the built binary. Qt's own libraries only recommend the platform
# plugins and no font, yet without an X11/Wayland plugin the window cannot open and without a
# Japanese Gothic its texts have no glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

# The Debian package, made by `cpack -G DEB` in the build folder (./build.sh package): what
# `cmake --install` lays out under /usr, the executables stripped, the dependencies read from the
# shared libraries the executables load.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pictorel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Pictorel developers <pictorel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "standby images for mobile phones from your pictures")
# CPack indents the lines and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pictorel turns an ordinary picture into a standby (wallpaper) image for one
particular mobile phone: choose the carrier and the model, load a picture,
fit and crop it onto the phone-sized canvas, tune it, add effects, decorate
it with pen strokes, text, stamps, frames and a calendar, and save it within
the file size the phone accepts. The window is in Japanese.

pictorel-cli does the same work from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libtiff is opened by name when the first TIFF is read, so no executable lists it: its package is
# named here. The Japanese fonts and Qt's translations are read, not linked.
file(REAL_PATH ${tiff_library} tiff_file)
execute_process(COMMAND dpkg-query -S ${tiff_file} OUTPUT_VARIABLE tiff_owner ERROR_QUIET)
string(REGEX MATCH "^[^:]+" tiff_package "${tiff_owner}")
if(NOT tiff_package)
  set(tiff_package libtiff6)
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${tiff_package}, fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-mincho")
# Files and folders as Debian has them, whatever the umask of whoever builds.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
include(CPack)

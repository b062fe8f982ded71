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
# libtiff, libheif and libjxl are opened by name when the first picture of theirs is read, so no
# executable lists them: their packages are named here. The Japanese fonts and Qt's translations are
# read, not linked.
set(loaded_packages)
foreach(pair IN ITEMS "${tiff_library}=libtiff6" "${heif_library}=libheif1" "${jxl_library}=libjxl0.7")
  string(REGEX REPLACE "=[^=]*$" "" library "${pair}")
  string(REGEX REPLACE "^.*=" "" fallback "${pair}")
  file(REAL_PATH ${library} library_file)
  execute_process(COMMAND dpkg-query -S ${library_file} OUTPUT_VARIABLE owner ERROR_QUIET)
  string(REGEX MATCH "^[^:]+" package "${owner}")
  if(NOT package)
    set(package ${fallback})
  endif()
  list(APPEND loaded_packages ${package})
endforeach()
list(JOIN loaded_packages ", " loaded_packages)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${loaded_packages}, fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-mincho")
# Files and folders as Debian has them, whatever the umask of whoever builds.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
include(CPack)

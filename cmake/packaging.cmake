# Install rules and packages. Only the program is installed: the engine
# library, the tests and the bench stay in the build folder.
#
#   cmake --install build [--prefix DIR]    DIR/bin/mavo
#   cd build && cpack                        .deb and .tar.gz (Linux), .zip (MinGW)
#
# scripts/package.sh and scripts/package-windows.sh run the whole thing.

# The version shown by the engine itself, so the packages cannot disagree with it.
file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/src/position/types.h MAVO_VERSION_LINE
  REGEX "kVersion = \"[^\"]+\"")
string(REGEX REPLACE ".*kVersion = \"([^\"]+)\".*" "\\1" MAVO_VERSION "${MAVO_VERSION_LINE}")
if(NOT MAVO_VERSION)
  message(FATAL_ERROR "no kVersion in src/position/types.h")
endif()

if(WIN32)
  # A Windows user unpacks the zip and points the GUI at mavo.exe in it.
  install(TARGETS mavo RUNTIME DESTINATION .)
else()
  install(TARGETS mavo RUNTIME DESTINATION bin)
endif()

set(CPACK_PACKAGE_NAME mavo)
set(CPACK_PACKAGE_VERSION ${MAVO_VERSION})
set(CPACK_PACKAGE_VENDOR "Mavo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chess engine for the console and for UCI chess GUIs")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Mavo developers")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: only what dpkg-shlibdeps finds the binary linked against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)

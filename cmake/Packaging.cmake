# SPDX-License-Identifier: GPL-2.0-or-later
# The Debian package: `cpack -G DEB` in a Release build (scripts/build package)
# makes calvex_<version>_<arch>.deb with stripped programs, installed under
# /usr whatever prefix the build was configured with.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvex)
set(CPACK_PACKAGE_VENDOR "The Calvex developers")
set(CPACK_PACKAGE_CONTACT "The Calvex developers <maintainers@calvex.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recompress video files into AVI files")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# Then, as Debian's own packages, without the compilers' .comment notes.
find_program(CALVEX_OBJCOPY NAMES objcopy)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/CPackDropComments.cmake @ONLY CONTENT [[
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*")
foreach(program IN LISTS programs)
  execute_process(COMMAND "@CALVEX_OBJCOPY@" --remove-section=.comment "${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
]])
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_BINARY_DIR}/CPackDropComments.cmake)

# Install code runs with the real prefix (/usr) and the staging folder as
# DESTDIR, so that the D-Bus service file names /usr/bin/calvex.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Calvex recompresses any video file that FFmpeg reads into an AVI file.
Its window lets you pick the source and the output file, choose one of the
installed video and audio encoders and their settings, keep the audio stream
unchanged or re-encode it, and follow the progress. An aborted job leaves a
playable AVI file.

The package also holds calvex-convert, the same converter without a window,
for scripts, and offers the program for automation on the D-Bus session bus.")

include(CPack)

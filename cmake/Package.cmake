# `make package`: the installed files as a Debian package,
# lumivant_VERSION_ARCH.deb, its library dependencies read off the programs
# by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumivant)
set(CPACK_PACKAGE_VENDOR "Lumivant developers")
set(CPACK_PACKAGE_CONTACT "Lumivant developers <dev@lumivant.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "make a Yamaha Tyros keyboard save a picture of its display")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumivant sends the short System Exclusive sequence that makes a Yamaha\n"
    "Tyros or Tyros 2 arranger keyboard save a picture of its own display,\n"
    "through an ALSA sequencer port or a running JACK server: from its window,\n"
    "a click on the camera button, or from the command line.\n"
    "\n"
    "The package also holds bitmaplist, the tool for the bitmap-list files\n"
    "of the program's resources.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's text faces are read from fonts-wine's files at run time.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-wine)

include(CPack)

# `cpack` (and `make package`) turns the install rules into one .deb for Debian 12.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mikroteilchen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mikroteilchen-Statistik team")
set(CPACK_PACKAGE_CONTACT "Mikroteilchen-Statistik team")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Mikroteilchen-Statistik team")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)

# dpkg-shlibdeps finds the Qt and C++ libraries the program links. What it cannot see:
# the "times" face the screens are laid out for, and a sound server for the clicks
# (without one the program runs silent).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio")

# CPack puts the summary first and indents the long description as Debian's control
# format wants it; an empty line becomes a paragraph break.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching simulation: counting statistics of random micro-particles")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A desktop simulation for school physics with a German user interface.
A detector registers randomly emitted micro-particles - alpha, beta or
gamma particles, or photons of a strongly attenuated laser - one click at
a time. The counts per counting interval build up a frequency graph that
is compared with the Poisson distribution of the measured mean.

Zählstatistik zufällig emittierter Mikroteilchen: eine Simulation für den
Physikunterricht mit Häufigkeitsdiagramm und Poisson-Vergleich.")

include(CPack)

# "cpack -G DEB" in the build folder makes a Debian package of what
# "cmake --install" lays out, under /usr, its dependencies worked out from the
# binaries by dpkg-shlibdeps (package dpkg-dev). The desktop's menu, the
# file types and the icons are picked up by Debian's own triggers.
set(LQ_PACKAGE_MAINTAINER "Lumenquilla maintainers <maintainers@users.noreply.c-seed-1bc48529.example>"
  CACHE STRING "The Debian package's Maintainer field")

set(CPACK_PACKAGE_NAME lumenquilla)
set(CPACK_PACKAGE_VENDOR "The Lumenquilla developers")
set(CPACK_PACKAGE_CONTACT "${LQ_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture editor that turns photos into cartoons, sketches and line drawings")
set(CPACK_PACKAGE_DESCRIPTION
  "Lumenquilla turns a photograph into a cartoon, a pencil sketch, a line drawing or a canvas-like
picture as two layers, a sketch and a flat colouring, and lets you retouch them with drawing tools,
adjustments and an undo history. lumenquilla-render does the same without a window, for one photo
or whole folders of them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${LQ_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(LQ_BUILD_GUI)
  # The toolkit finds its window-system plugins at run time, which no
  # library dependency brings.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
endif()
include(CPack)

# The Debian package calvetrin_<version>_<arch>.deb, made by the target
# `package` (CPack) from the install rules of cmake/Install.cmake; the tree of
# the preset "deb" builds it with Debian's flags and tests it.
# Its Depends are the shared libraries the programs link, as dpkg-shlibdeps
# finds them, plus the SDL 1.2 the program is built and tested against.
if(WIN32)
  return()
endif()

set(CALVETRIN_DEB_MAINTAINER "Calvetrin maintainers <maintainers@users.noreply.c-seed-ba2c3f4a.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvetrin)
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CALVETRIN_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Synopsis, then the extended description; CPack indents the later lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "3-D OpenGL screensaver of spinning textured shapes
Sixteen textured shapes in three groups take turns in view, spinning
steadily, some of them painted with flowing plasma textures.
.
The screensaver runs full screen, paints a preview into a window it is
given, and runs as an xscreensaver hack. The package also holds its
configuration program config.exe, the default content and the archive tool
calvetrin-pak, which turns Wavefront OBJ models into content.")

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# For libSDL-1.2.so.0 dpkg-shlibdeps names libsdl1.2debian, which on Debian 12
# is still the classic SDL 1.2 package; sdl12-compat's libsdl1.2-compat-shim
# provides that name and the same library and is what the program is tested
# with. Named first, it is what a new installation gets, while an installed
# classic SDL 1.2 is accepted.
# The programs link libOpenGL.so.0 for the OpenGL calls, but SDL makes the
# context through GLX by loading libGL.so.1 at run time: libgl1, which no
# linked library asks for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl1.2-compat-shim | libsdl1.2debian (>= 1.2.15), libgl1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
# No maintainer script adds the hack to xscreensaver's list: that list lives in
# a configuration file of the xscreensaver packages (see calvetrin(6)).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)

include(CPack)

# The package check (tests/package/deb_check.sh), after a test that makes
# this tree's package afresh, so that it never checks an older one. umask:
# the package's files get the usual modes whatever the caller's.
if(CALVETRIN_PACKAGE_TESTS)
  enable_testing()
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(deb_file ${CMAKE_BINARY_DIR}/calvetrin_${PROJECT_VERSION}_${deb_arch}.deb)
  cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
  add_test(NAME package_deb_build
           COMMAND sh -c "umask 022 && rm -f \"$1\" && exec \"$2\" --build \"$3\" --target package -j ${cores}"
                   sh ${deb_file} ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR})
  set_tests_properties(package_deb_build PROPERTIES LABELS package TIMEOUT 1800 FIXTURES_SETUP deb)
  add_test(NAME package_deb_is_complete_and_lintian_clean
           COMMAND ${CMAKE_SOURCE_DIR}/tests/package/deb_check.sh ${deb_file} ${PROJECT_VERSION})
  set_tests_properties(package_deb_is_complete_and_lintian_clean PROPERTIES
                       LABELS package TIMEOUT 300 FIXTURES_REQUIRED deb)
endif()

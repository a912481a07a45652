# The Windows programs as a Windows user gets them: calvetrin.scr (a GUI
# program entered at WinMain), config.exe and calvetrin-pak.exe, each with its
# icon, version, manifest and the screensaver's name as string 1, and beside
# them in bin/ the content files. Targets of this tree:
#   windows_dist  dist/, the folder a Windows user gets, laid out by the install
#                 rules (cmake/Install.cmake) with the programs stripped
#   installer     calvetrin-setup.exe, which installs that folder (NSIS)
# Both are part of the default build.
#
# The content generator runs at build time, which a cross build cannot do
# with its own programs: a build of this source tree for the build machine,
# in host/, makes main.pak, preview.ppk and the icon, so the Windows files
# are byte for byte the Linux build's.
include(ExternalProject)
set(calvetrin_host_bin ${CMAKE_BINARY_DIR}/host/bin)
cmake_host_system_information(RESULT calvetrin_cores QUERY NUMBER_OF_LOGICAL_CORES)
ExternalProject_Add(calvetrin_host
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${CMAKE_BINARY_DIR}/host
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCALVETRIN_BUILD_TESTS=OFF -DCALVETRIN_BUILD_BENCHMARKS=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target calvetrin_content calvetrin-contentgen
                -j ${calvetrin_cores}
  # Replaced only when it changed, so that an unchanged icon relinks nothing.
  COMMAND ${calvetrin_host_bin}/calvetrin-contentgen --icon ${calvetrin_host_bin}/calvetrin.ico.new
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${calvetrin_host_bin}/calvetrin.ico.new ${calvetrin_host_bin}/calvetrin.ico
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${calvetrin_host_bin}/main.pak ${calvetrin_host_bin}/preview.ppk ${calvetrin_host_bin}/calvetrin.ico)

# Copied into bin/ only when they changed (a target, not a rule for the
# files: the targets below that depend on them would each run such a rule).
set(CALVETRIN_MAIN_PAK ${CMAKE_BINARY_DIR}/bin/main.pak)
set(CALVETRIN_PREVIEW_PPK ${CMAKE_BINARY_DIR}/bin/preview.ppk)
add_custom_target(calvetrin_content ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${calvetrin_host_bin}/main.pak ${calvetrin_host_bin}/preview.ppk
          ${CMAKE_BINARY_DIR}/bin
  BYPRODUCTS ${CALVETRIN_MAIN_PAK} ${CALVETRIN_PREVIEW_PPK}
  VERBATIM)
add_dependencies(calvetrin_content calvetrin_host)

string(REPLACE "." "," calvetrin_version_commas "${PROJECT_VERSION}.0")

# Gives `target` the resources of a program named `fileName`.
function(calvetrin_windows_resources target fileName description)
  set(RC_FILE_NAME ${fileName})
  set(RC_DESCRIPTION ${description})
  set(RC_ICON ${calvetrin_host_bin}/calvetrin.ico)
  set(RC_MANIFEST ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/resources/calvetrin.manifest)
  set(RC_VERSION_COMMAS ${calvetrin_version_commas})
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/resources/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # Source properties belong to a directory: the target's, not this file's.
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${RC_ICON} ${RC_MANIFEST})
  add_dependencies(${target} calvetrin_host)
endfunction()

set_target_properties(calvetrin PROPERTIES WIN32_EXECUTABLE ON SUFFIX ".scr")
calvetrin_windows_resources(calvetrin calvetrin.scr "Calvetrin screensaver")
# config.exe is a GUI program too: started without options (the screensaver's
# "Settings" button) it opens its dialog, and no console window may flash up
# first. Option runs attach to the console they were started from
# (tools/config/windows/Frontend.cpp).
set_target_properties(config PROPERTIES WIN32_EXECUTABLE ON)
calvetrin_windows_resources(config config.exe "Calvetrin settings")
calvetrin_windows_resources(calvetrin-pak calvetrin-pak.exe "Calvetrin content archive tool")

# README.txt of the folder, with Windows line ends.
set(CALVETRIN_WINDOWS_README ${CMAKE_BINARY_DIR}/README.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${CALVETRIN_WINDOWS_README} @ONLY NEWLINE_STYLE CRLF)

# The notices of what the programs contain from elsewhere: SDL's source and
# licence (scripts/build-windows.sh puts them beside the SDL it builds), the
# licence text in Debian's stb_image.h, and Debian's list of the mingw-w64
# run time's licences.
set(CALVETRIN_SDL_NOTICE_DIR "${CALVETRIN_SDL_PREFIX}/../notice" CACHE PATH
    "sdl-source.txt and LGPL-2.1.txt of the SDL build")
set(CALVETRIN_MINGW_COPYRIGHT /usr/share/doc/mingw-w64-common/copyright CACHE FILEPATH
    "The mingw-w64 run time's licences, as Debian lists them")
foreach(f ${CALVETRIN_SDL_NOTICE_DIR}/sdl-source.txt ${CALVETRIN_SDL_NOTICE_DIR}/LGPL-2.1.txt
          ${CALVETRIN_MINGW_COPYRIGHT})
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "${f} not found (scripts/build-windows.sh makes the SDL notices)")
  endif()
endforeach()
file(READ ${CALVETRIN_SDL_NOTICE_DIR}/sdl-source.txt SDL_SOURCE)
string(REGEX REPLACE "\n+$" "" SDL_SOURCE "${SDL_SOURCE}")
file(READ ${CALVETRIN_STB_DIR}/stb_image.h stb_text)
string(REGEX MATCH "stb_image - v[0-9.]+" STB_VERSION "${stb_text}")
string(FIND "${stb_text}" "This software is available under 2 licenses" stb_start)
string(FIND "${stb_text}" "*/" stb_end REVERSE)
if(STB_VERSION STREQUAL "" OR stb_start LESS 0 OR stb_end LESS stb_start)
  message(FATAL_ERROR "no licence text found in ${CALVETRIN_STB_DIR}/stb_image.h")
endif()
math(EXPR stb_length "${stb_end} - ${stb_start}")
string(SUBSTRING "${stb_text}" ${stb_start} ${stb_length} STB_LICENSE)
string(STRIP "${STB_LICENSE}" STB_LICENSE)
string(REPLACE " - v" " " STB_VERSION "${STB_VERSION}")
set(CALVETRIN_WINDOWS_NOTICES ${CMAKE_BINARY_DIR}/NOTICES.txt ${CMAKE_BINARY_DIR}/LGPL-2.1.txt
    ${CMAKE_BINARY_DIR}/MINGW-W64.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/NOTICES.txt.in ${CMAKE_BINARY_DIR}/NOTICES.txt @ONLY NEWLINE_STYLE CRLF)
# A text file copied with Windows line ends, unchanged otherwise (configure_file
# would replace anything between two @ signs), and written only when it changed.
function(calvetrin_copy_crlf source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  set(old "")
  if(EXISTS ${destination})
    file(READ ${destination} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${destination} "${text}")
  endif()
endfunction()
calvetrin_copy_crlf(${CALVETRIN_SDL_NOTICE_DIR}/LGPL-2.1.txt ${CMAKE_BINARY_DIR}/LGPL-2.1.txt)
calvetrin_copy_crlf(${CALVETRIN_MINGW_COPYRIGHT} ${CMAKE_BINARY_DIR}/MINGW-W64.txt)

# dist/: exactly what the install rules install, stripped. Their manifest
# (install_manifest.txt) names the files, for the installer and the tests.
set(CALVETRIN_WINDOWS_DIST ${CMAKE_BINARY_DIR}/dist)
set(calvetrin_dist_inputs calvetrin config calvetrin-pak ${CALVETRIN_MAIN_PAK} ${CALVETRIN_PREVIEW_PPK}
    ${CALVETRIN_WINDOWS_README} ${CALVETRIN_WINDOWS_NOTICES} ${CMAKE_BINARY_DIR}/cmake_install.cmake)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${CALVETRIN_WINDOWS_DIST} --strip
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/dist.stamp
  DEPENDS ${calvetrin_dist_inputs}
  COMMENT "Laying out ${CALVETRIN_WINDOWS_DIST}"
  VERBATIM)
add_custom_target(windows_dist ALL DEPENDS ${CMAKE_BINARY_DIR}/dist.stamp)
add_dependencies(windows_dist calvetrin_content)

# The installer's lists of files to install and to remove are made from that
# manifest (platform/windows/installer/files.cmake).
find_program(CALVETRIN_MAKENSIS makensis REQUIRED)
set(CALVETRIN_WINDOWS_SETUP ${CMAKE_BINARY_DIR}/calvetrin-setup.exe)
set(calvetrin_installer ${CMAKE_CURRENT_LIST_DIR}/installer)
add_custom_command(OUTPUT ${CALVETRIN_WINDOWS_SETUP}
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt -DPREFIX=${CALVETRIN_WINDOWS_DIST}
          -DOUT=${CMAKE_BINARY_DIR}/installer-files.nsh -P ${calvetrin_installer}/files.cmake
  COMMAND ${CALVETRIN_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DDIST=${CALVETRIN_WINDOWS_DIST}
          -DICON=${calvetrin_host_bin}/calvetrin.ico -DFILES=${CMAKE_BINARY_DIR}/installer-files.nsh
          -DOUTFILE=${CALVETRIN_WINDOWS_SETUP} ${calvetrin_installer}/calvetrin.nsi
  DEPENDS ${calvetrin_dist_inputs} ${calvetrin_installer}/calvetrin.nsi ${calvetrin_installer}/files.cmake
          ${calvetrin_host_bin}/calvetrin.ico
  COMMENT "Making ${CALVETRIN_WINDOWS_SETUP}"
  VERBATIM)
# After dist/, from the same inputs: a rule for dist.stamp in this target as
# well would run beside windows_dist's in a parallel build.
add_custom_target(installer ALL DEPENDS ${CALVETRIN_WINDOWS_SETUP})
add_dependencies(installer windows_dist)

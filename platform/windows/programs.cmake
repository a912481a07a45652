# The Windows programs as a Windows user gets them, in bin/ of the cross build:
# calvetrin.scr (a GUI program entered at WinMain), config.exe and
# calvetrin-pak.exe, each with its icon, version, manifest and the
# screensaver's name as string 1, and beside them the content files.
#
# The content generator runs at build time, so a cross build cannot run it:
# scripts/build-windows.sh builds it for the host and hands its output in
# through CALVETRIN_HOST_CONTENT_DIR (main.pak, preview.ppk, calvetrin.ico), so
# the Windows files are byte for byte the Linux build's.
set(CALVETRIN_HOST_CONTENT_DIR "" CACHE PATH "Host-built main.pak, preview.ppk and calvetrin.ico")
foreach(f main.pak preview.ppk calvetrin.ico)
  if(NOT EXISTS "${CALVETRIN_HOST_CONTENT_DIR}/${f}")
    message(FATAL_ERROR "${f} not found in CALVETRIN_HOST_CONTENT_DIR='${CALVETRIN_HOST_CONTENT_DIR}' "
                        "(scripts/build-windows.sh generates it)")
  endif()
endforeach()

string(REPLACE "." "," calvetrin_version_commas "${PROJECT_VERSION}.0")

# Gives `target` the resources of a program named `fileName`.
function(calvetrin_windows_resources target fileName description)
  set(RC_FILE_NAME ${fileName})
  set(RC_DESCRIPTION ${description})
  set(RC_ICON ${CALVETRIN_HOST_CONTENT_DIR}/calvetrin.ico)
  set(RC_MANIFEST ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/resources/calvetrin.manifest)
  set(RC_VERSION_COMMAS ${calvetrin_version_commas})
  set(rc ${CMAKE_BINARY_DIR}/resources/${target}.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/resources/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # Source properties belong to a directory: the target's, not this file's.
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
               ${RC_ICON} ${RC_MANIFEST})
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

foreach(f main.pak preview.ppk)
  configure_file(${CALVETRIN_HOST_CONTENT_DIR}/${f} ${CMAKE_BINARY_DIR}/bin/${f} COPYONLY)
endforeach()

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
set(calvetrin_dist_notices ${CMAKE_BINARY_DIR}/NOTICES.txt ${CMAKE_BINARY_DIR}/LGPL-2.1.txt
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

# The folder a Windows user gets: the programs without their debugging
# symbols, the content, README.txt and the notices with Windows line ends.
set(CALVETRIN_WINDOWS_DIST ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the Windows folder is laid out")
set(calvetrin_dist_readme ${CMAKE_BINARY_DIR}/README.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${calvetrin_dist_readme} @ONLY NEWLINE_STYLE CRLF)
set(calvetrin_dist_programs $<TARGET_FILE:calvetrin> $<TARGET_FILE:config> $<TARGET_FILE:calvetrin-pak>)
add_custom_target(windows_dist ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_COMMAND} -E copy ${calvetrin_dist_programs} ${CMAKE_BINARY_DIR}/bin/main.pak
          ${CMAKE_BINARY_DIR}/bin/preview.ppk ${calvetrin_dist_readme} ${calvetrin_dist_notices}
          ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_STRIP} ${CALVETRIN_WINDOWS_DIST}/calvetrin.scr ${CALVETRIN_WINDOWS_DIST}/config.exe
          ${CALVETRIN_WINDOWS_DIST}/calvetrin-pak.exe
  DEPENDS calvetrin config calvetrin-pak
  COMMENT "Laying out ${CALVETRIN_WINDOWS_DIST}"
  VERBATIM)

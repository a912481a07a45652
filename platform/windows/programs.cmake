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
  set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS
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

# The folder a Windows user gets: the programs without their debugging
# symbols, the content, and README.txt with Windows line ends.
set(CALVETRIN_WINDOWS_DIST ${CMAKE_BINARY_DIR}/dist CACHE PATH "Where the Windows folder is laid out")
set(calvetrin_dist_readme ${CMAKE_BINARY_DIR}/README.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt ${calvetrin_dist_readme} @ONLY NEWLINE_STYLE CRLF)
set(calvetrin_dist_programs $<TARGET_FILE:calvetrin> $<TARGET_FILE:config> $<TARGET_FILE:calvetrin-pak>)
add_custom_target(windows_dist ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_COMMAND} -E copy ${calvetrin_dist_programs} ${CMAKE_BINARY_DIR}/bin/main.pak
          ${CMAKE_BINARY_DIR}/bin/preview.ppk ${calvetrin_dist_readme} ${CALVETRIN_WINDOWS_DIST}
  COMMAND ${CMAKE_STRIP} ${CALVETRIN_WINDOWS_DIST}/calvetrin.scr ${CALVETRIN_WINDOWS_DIST}/config.exe
          ${CALVETRIN_WINDOWS_DIST}/calvetrin-pak.exe
  DEPENDS calvetrin config calvetrin-pak
  COMMENT "Laying out ${CALVETRIN_WINDOWS_DIST}"
  VERBATIM)

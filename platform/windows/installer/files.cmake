# cmake -DMANIFEST=install_manifest.txt -DPREFIX=DIST -DOUT=files.nsh -P files.cmake
#
# Writes the installer's lists of the Windows folder's files as an NSIS
# include file, from the manifest that `cmake --install --prefix DIST` wrote:
# so the installer installs and removes exactly what the install rules
# (cmake/Install.cmake) lay out. Defines two macros, over the installer's own
# INSTALL_FILE and REMOVE_FILE:
#   CALVETRIN_INSTALL_FILES  INSTALL_FILE "DIST/NAME" "$INSTDIR\NAME" per file
#   CALVETRIN_DELETE_FILES   REMOVE_FILE "$INSTDIR\NAME" per file
file(STRINGS "${MANIFEST}" files)
if(NOT files)
  message(FATAL_ERROR "${MANIFEST} names no file")
endif()
set(install_lines "")
set(delete_lines "")
foreach(f ${files})
  file(RELATIVE_PATH name "${PREFIX}" "${f}")
  # The uninstaller removes the folder only when it is empty: a subfolder
  # would need lines of its own.
  if(name MATCHES "^\\.\\./|/")
    message(FATAL_ERROR "${f} is not a file directly in ${PREFIX}")
  endif()
  string(APPEND install_lines "  !insertmacro INSTALL_FILE \"${f}\" \"$INSTDIR\\${name}\"\n")
  string(APPEND delete_lines "  !insertmacro REMOVE_FILE \"$INSTDIR\\${name}\"\n")
endforeach()
file(WRITE "${OUT}" "; The Windows folder's files, from the install rules (platform/windows/installer/files.cmake).
!macro CALVETRIN_INSTALL_FILES
${install_lines}!macroend
!macro CALVETRIN_DELETE_FILES
${delete_lines}!macroend
")

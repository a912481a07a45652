# `cmake --install` lays out one installation directory holding the
# screensaver, the configuration program "config.exe", the content "main.pak"
# and the preview picture "preview.ppk". With no registry file the screensaver
# finds its files beside its own executable, so the installation needs no
# set-up. These rules are the one description of it: the Debian package
# (cmake/Package.cmake) and the Windows folder and installer
# (platform/windows/programs.cmake) are made from them.
#
# On Linux the directory is <prefix>/lib/calvetrin/, with a link to the
# screensaver and the archive tool `calvetrin-pak` on the PATH, the manual
# pages, the link and settings description that make the screensaver an
# xscreensaver hack, and the copyright and change log.
# On Windows it is the prefix itself, the folder a Windows user gets:
# calvetrin.scr, config.exe, calvetrin-pak.exe, the content, README.txt and
# the notices.
include(GNUInstallDirs)
# Not CMAKE_INSTALL_LIBDIR: with the prefix /usr on Debian that is the
# multiarch library directory, and the directory holds programs, not libraries.
if(WIN32)
  set(CALVETRIN_INSTALL_DIR .)
  set(calvetrin_tool_dir .)
else()
  set(CALVETRIN_INSTALL_DIR lib/calvetrin)
  set(calvetrin_tool_dir ${CMAKE_INSTALL_BINDIR})
endif()
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A symbolic link at <prefix>/LINK to <prefix>/TARGET, written relative so that
# it resolves inside a staging or package tree as well.
function(calvetrin_install_link target link)
  get_filename_component(link_dir ${link} DIRECTORY)
  file(RELATIVE_PATH relative /root/${link_dir} /root/${target})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link_dir}\")
    file(CREATE_LINK \"${relative}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\" SYMBOLIC)
  ")
endfunction()

install(TARGETS calvetrin config RUNTIME DESTINATION ${CALVETRIN_INSTALL_DIR})
install(TARGETS calvetrin-pak RUNTIME DESTINATION ${calvetrin_tool_dir})
install(FILES ${CALVETRIN_MAIN_PAK} ${CALVETRIN_PREVIEW_PPK} DESTINATION ${CALVETRIN_INSTALL_DIR})

if(WIN32)
  install(FILES ${CALVETRIN_WINDOWS_README} ${CALVETRIN_WINDOWS_NOTICES} DESTINATION .)
else()
  calvetrin_install_link(${CALVETRIN_INSTALL_DIR}/calvetrin ${CMAKE_INSTALL_BINDIR}/calvetrin)
  set(packaging ${CMAKE_SOURCE_DIR}/packaging)
  # xscreensaver runs a hack by its name from <prefix>/libexec/xscreensaver
  # and builds the hack's settings dialog from
  # <prefix>/share/xscreensaver/config/NAME.xml (Debian's xscreensaver looks
  # under /usr only). Whether a hack is offered at all is decided by the
  # "programs" list of xscreensaver's own configuration; see calvetrin(6).
  calvetrin_install_link(${CALVETRIN_INSTALL_DIR}/calvetrin ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver/calvetrin)
  install(FILES ${packaging}/xscreensaver/calvetrin.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

  # Manual pages and the change log are installed compressed, as Debian
  # wants them; -n keeps the time stamp out, so the bytes depend only on the
  # text.
  find_program(CALVETRIN_GZIP gzip REQUIRED)
  set(gzipped "")
  set(gzip_dir ${CMAKE_BINARY_DIR}/packaging)
  foreach(page man/calvetrin.6 man/config.exe.6 man/calvetrin-pak.1 debian/changelog)
    add_custom_command(OUTPUT ${gzip_dir}/${page}.gz
                       COMMAND ${CMAKE_COMMAND} -E copy ${packaging}/${page} ${gzip_dir}/${page}
                       COMMAND ${CALVETRIN_GZIP} -9 -n -f ${gzip_dir}/${page}
                       DEPENDS ${packaging}/${page}
                       VERBATIM)
    list(APPEND gzipped ${gzip_dir}/${page}.gz)
  endforeach()
  add_custom_target(calvetrin_packaging_files ALL DEPENDS ${gzipped})
  # config.exe is in section 6 with the screensaver, as the programs of the
  # installation directory are not on the PATH (section 1 is for those that are).
  install(FILES ${gzip_dir}/man/calvetrin.6.gz ${gzip_dir}/man/config.exe.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${gzip_dir}/man/calvetrin-pak.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Native package (no Debian revision): the change log is changelog.gz.
  install(FILES ${packaging}/debian/copyright ${gzip_dir}/debian/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/calvetrin)
endif()

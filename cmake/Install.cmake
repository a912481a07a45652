# `cmake --install` lays out one installation directory,
# <prefix>/lib/calvetrin/, holding the screensaver `calvetrin`, the
# configuration program "config.exe", the content "main.pak" and the preview
# picture "preview.ppk", and puts a link to the screensaver on the PATH
# (<prefix>/bin/calvetrin). With no registry file the screensaver finds its
# files beside its own executable, so the installation needs no set-up.
include(GNUInstallDirs)
set(CALVETRIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/calvetrin)

if(TARGET calvetrin)
  install(TARGETS calvetrin RUNTIME DESTINATION ${CALVETRIN_INSTALL_DIR})
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${CALVETRIN_INSTALL_DIR}/calvetrin\"
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/calvetrin\" SYMBOLIC)
  ")
endif()
if(TARGET config)
  install(TARGETS config RUNTIME DESTINATION ${CALVETRIN_INSTALL_DIR})
endif()
if(TARGET calvetrin-pak)
  install(TARGETS calvetrin-pak RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(CALVETRIN_MAIN_PAK AND CALVETRIN_PREVIEW_PPK)
  install(FILES ${CALVETRIN_MAIN_PAK} ${CALVETRIN_PREVIEW_PPK} DESTINATION ${CALVETRIN_INSTALL_DIR})
endif()

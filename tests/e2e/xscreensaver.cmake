# The screensaver as a hack of the real xscreensaver: configured as its only
# program, started by "xscreensaver-command -activate" and ended by
# "-deactivate", on a private Xvfb open to the unprivileged account
# xscreensaver runs as ("nobody" when the tests run as root).
add_test(NAME e2e_xscreensaver
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/xscreensaver_e2e.sh
          $<TARGET_FILE:calvetrin> ${CALVETRIN_MAIN_PAK} ${CMAKE_SOURCE_DIR}/tests/lsan.supp
          ${CMAKE_CURRENT_BINARY_DIR}/xscreensaver_e2e)
set_tests_properties(e2e_xscreensaver PROPERTIES LABELS "e2e;x11" TIMEOUT 480
  ENVIRONMENT "GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")

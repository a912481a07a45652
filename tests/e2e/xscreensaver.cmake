# The screensaver as a hack of the real xscreensaver: configured as its only
# program, started by "xscreensaver-command -activate" and ended by
# "-deactivate", on a private Xvfb open to the unprivileged user xscreensaver
# runs as. Exit code 77: no such user can be had.
add_test(NAME e2e_xscreensaver
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/xscreensaver_e2e.sh
          $<TARGET_FILE:calvetrin> ${CALVETRIN_MAIN_PAK} ${CMAKE_SOURCE_DIR}/tests/lsan.supp
          ${CMAKE_CURRENT_BINARY_DIR}/xscreensaver_e2e)
set_tests_properties(e2e_xscreensaver PROPERTIES LABELS "e2e;x11" TIMEOUT 480 SKIP_RETURN_CODE 77
  ENVIRONMENT "GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")

# The Linux desktop's ways of ending and hosting the screensaver: signals on a
# full-screen run, and hack mode in a window the test owns (as xscreensaver
# gives one).
if(NOT TARGET calvetrin)
  return()
endif()

fullscreen_e2e(signals CUBE)

add_test(NAME e2e_hack
  COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh ${CMAKE_CURRENT_LIST_DIR}/hack_e2e.sh
          $<TARGET_FILE:calvetrin> $<TARGET_FILE:xparent> ${CMAKE_BINARY_DIR}/bin/main.pak
          ${CMAKE_CURRENT_BINARY_DIR}/hack_e2e)
set_tests_properties(e2e_hack PROPERTIES LABELS "e2e;x11" TIMEOUT 300
  ENVIRONMENT "GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")

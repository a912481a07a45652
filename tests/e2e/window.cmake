# The screensaver in a window that another program owns: the preview mode
# ("/p" and the id of a parent window) and hack mode (as xscreensaver gives
# it a window), with xparent playing the owner (tests/e2e/window_e2e.sh).
add_executable(xparent ${CMAKE_CURRENT_LIST_DIR}/xparent.cpp)
target_include_directories(xparent PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(xparent PRIVATE PkgConfig::X11 Calvetrin::SDL)
set_target_properties(xparent PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

foreach(case preview hack)
  add_test(NAME e2e_${case}
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/window_e2e.sh ${case} $<TARGET_FILE:calvetrin> $<TARGET_FILE:xparent>
                   ${CALVETRIN_MAIN_PAK} ${CMAKE_CURRENT_BINARY_DIR}/${case}_e2e)
  set_tests_properties(e2e_${case} PROPERTIES LABELS "e2e;x11" TIMEOUT 900)
endforeach()
# The hack draws with OpenGL: it gets the sanitizer build's preload (see the harness).
set_tests_properties(e2e_hack PROPERTIES ENVIRONMENT "GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")

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

# A host destroying its window at random 0 to 100 ms after starting the hack,
# 50 times: each run ends with 0 and prints nothing (early_destroy.cpp). The
# delays come from a fixed seed, the same on every run of the test.
add_executable(early_destroy ${CMAKE_CURRENT_LIST_DIR}/early_destroy.cpp)
target_link_libraries(early_destroy PRIVATE PkgConfig::X11)
set_target_properties(early_destroy PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_test(NAME e2e_hack_early_destroy
         COMMAND ${CMAKE_SOURCE_DIR}/tests/harness/with-xvfb.sh $<TARGET_FILE:early_destroy> $<TARGET_FILE:calvetrin>
                 50 ${CMAKE_CURRENT_BINARY_DIR}/early_destroy 20261208)
set_tests_properties(e2e_hack_early_destroy PROPERTIES LABELS "e2e;x11" TIMEOUT 900 ENVIRONMENT
  "GL_PRELOAD=${CALVETRIN_GL_PRELOAD};CALVETRIN_REGISTRY=${CMAKE_CURRENT_BINARY_DIR}/early_destroy.no-registry.reg;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/early_destroy.config")

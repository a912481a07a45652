# End-to-end tests of the full-screen mode: the real screensaver on a private
# Xvfb, driven with xdotool and checked through screenshots, its exit codes
# and its output. Every test writes its screenshots and logs to
# <build>/tests/e2e/fullscreen/<test>/ and leaves them there for inspection.
find_path(FULLSCREEN_STB_IMAGE stb_image.h PATH_SUFFIXES stb REQUIRED)
add_executable(fullscreen_probe ${CMAKE_CURRENT_LIST_DIR}/fullscreen_probe.cpp)
target_include_directories(fullscreen_probe SYSTEM PRIVATE ${FULLSCREEN_STB_IMAGE})
target_link_libraries(fullscreen_probe PRIVATE PkgConfig::X11)

# The cube test archive: every mesh entry the same one-colour cube
# (tests/e2e/cube/), made with the real archive tool.
set(fullscreen_cube ${CMAKE_CURRENT_BINARY_DIR}/cube)
file(MAKE_DIRECTORY ${fullscreen_cube})
add_custom_command(OUTPUT ${fullscreen_cube}/main.pak
  COMMAND calvetrin-pak obj-to-mesh --texture cube.png ${CMAKE_CURRENT_LIST_DIR}/cube/cube.obj ${fullscreen_cube}/cube.mesh
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/cube/cube.png ${fullscreen_cube}/cube.png
  COMMAND calvetrin-pak create main.pak sn1=cube.mesh sn11=cube.mesh sn12=cube.mesh cube.png
  WORKING_DIRECTORY ${fullscreen_cube}
  DEPENDS calvetrin-pak ${CMAKE_CURRENT_LIST_DIR}/cube/cube.obj ${CMAKE_CURRENT_LIST_DIR}/cube/cube.png
  COMMENT "Making the cube test archive"
  VERBATIM)
add_custom_target(fullscreen_cube_archive ALL DEPENDS ${fullscreen_cube}/main.pak)

set(fullscreen_env
  CALVETRIN_EXE=$<TARGET_FILE:calvetrin>
  CALVETRIN_CONFIG=$<TARGET_FILE:config>
  CALVETRIN_PAK=$<TARGET_FILE:calvetrin-pak>
  FULLSCREEN_PROBE=$<TARGET_FILE:fullscreen_probe>
  DEFAULT_MAIN_PAK=${CALVETRIN_MAIN_PAK}
  DEFAULT_PREVIEW_PPK=${CALVETRIN_PREVIEW_PPK}
  CUBE_MAIN_PAK=${fullscreen_cube}/main.pak
  "GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")

# fullscreen_e2e(CASE [SCREEN WxHxD]): the case of tests/e2e/fullscreen_e2e.sh
# on a screen of that size (default 1024x768x24).
function(fullscreen_e2e case)
  cmake_parse_arguments(F "" "NAME;SCREEN" "" ${ARGN})
  if(NOT F_NAME)
    set(F_NAME ${case})
  endif()
  add_test(NAME e2e_fullscreen_${F_NAME} COMMAND ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/fullscreen_e2e.sh ${case} ${F_SCREEN})
  set_tests_properties(e2e_fullscreen_${F_NAME} PROPERTIES LABELS e2e TIMEOUT 300
    ENVIRONMENT "${fullscreen_env};FULLSCREEN_OUT=${CMAKE_CURRENT_BINARY_DIR}/fullscreen/${F_NAME}")
endfunction()

foreach(case default failures damaged phases input mouse mode_words display_modes signals)
  fullscreen_e2e(${case})
endforeach()
fullscreen_e2e(look NAME look_4x3 SCREEN 1024x768x24)
fullscreen_e2e(look NAME look_16x9 SCREEN 1280x720x24)

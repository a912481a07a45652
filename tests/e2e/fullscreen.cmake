# End-to-end tests of the full-screen mode: the real screensaver under a
# private Xvfb, driven with xdotool and checked through screenshots, its exit
# codes and its output. Every test writes its screenshots and logs to
# <build>/tests/e2e/fullscreen/<test>/ and leaves them there for inspection.
if(NOT TARGET calvetrin)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(FULLSCREEN_X11 REQUIRED IMPORTED_TARGET x11)
find_path(FULLSCREEN_STB_IMAGE stb_image.h PATH_SUFFIXES stb REQUIRED)

add_executable(fullscreen_probe ${CMAKE_CURRENT_LIST_DIR}/fullscreen_probe.cpp)
target_include_directories(fullscreen_probe SYSTEM PRIVATE ${FULLSCREEN_STB_IMAGE})
target_link_libraries(fullscreen_probe PRIVATE PkgConfig::FULLSCREEN_X11)


set(fullscreen_src ${CMAKE_CURRENT_LIST_DIR})
set(fullscreen_out ${CMAKE_CURRENT_BINARY_DIR}/fullscreen)
set(fullscreen_cube_pak ${fullscreen_out}/cube-archive/main.pak)

set(fullscreen_env
  CALVETRIN_EXE=$<TARGET_FILE:calvetrin>
  FULLSCREEN_PROBE=$<TARGET_FILE:fullscreen_probe>
  DEFAULT_MAIN_PAK=${CMAKE_BINARY_DIR}/bin/main.pak
  DEFAULT_PREVIEW_PPK=${CMAKE_BINARY_DIR}/bin/preview.ppk
  CUBE_MAIN_PAK=${fullscreen_cube_pak}
  "FULLSCREEN_GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")
if(TARGET config)
  list(APPEND fullscreen_env CALVETRIN_CONFIG=$<TARGET_FILE:config>)
endif()
if(TARGET calvetrin-pak)
  list(APPEND fullscreen_env CALVETRIN_PAK=$<TARGET_FILE:calvetrin-pak>)
endif()

# The cube test archive: every mesh entry the same one-colour cube, built with
# the real archive tool from an OBJ file and a PNG made by ImageMagick.
set(fullscreen_cube_fixture "")
if(TARGET calvetrin-pak)
  add_test(NAME e2e_fullscreen_cube_archive
    COMMAND ${fullscreen_src}/fullscreen_cube_archive.sh $<TARGET_FILE:calvetrin-pak> ${fullscreen_cube_pak})
  set_tests_properties(e2e_fullscreen_cube_archive PROPERTIES
    LABELS e2e TIMEOUT 120 FIXTURES_SETUP fullscreen_cube_archive)
  set(fullscreen_cube_fixture fullscreen_cube_archive)
endif()

# fullscreen_e2e(NAME [CUBE] [SCRIPT STEM] [SCREEN WxHxD]): tests/e2e/
# fullscreen_STEM.sh (STEM defaults to NAME) under Xvfb, on a screen of that
# size (default 1024x768x24); CUBE when it needs the cube test archive.
function(fullscreen_e2e name)
  cmake_parse_arguments(F "CUBE" "SCRIPT;SCREEN" "" ${ARGN})
  if(F_CUBE AND NOT fullscreen_cube_fixture)
    return()
  endif()
  if(NOT F_SCRIPT)
    set(F_SCRIPT ${name})
  endif()
  if(NOT F_SCREEN)
    set(F_SCREEN 1024x768x24)
  endif()
  add_test(NAME e2e_fullscreen_${name}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh ${fullscreen_src}/fullscreen_${F_SCRIPT}.sh)
  set_tests_properties(e2e_fullscreen_${name} PROPERTIES
    LABELS e2e TIMEOUT 300 SKIP_RETURN_CODE 77
    ENVIRONMENT "${fullscreen_env};FULLSCREEN_OUT=${fullscreen_out}/${name};XVFB_SCREEN=${F_SCREEN}")
  if(F_CUBE)
    set_tests_properties(e2e_fullscreen_${name} PROPERTIES FIXTURES_REQUIRED ${fullscreen_cube_fixture})
  endif()
endfunction()

fullscreen_e2e(default)
fullscreen_e2e(look_4x3 SCRIPT look SCREEN 1024x768x24)
fullscreen_e2e(look_16x9 SCRIPT look SCREEN 1280x720x24)
fullscreen_e2e(failures)
fullscreen_e2e(damaged)
fullscreen_e2e(phases CUBE)
fullscreen_e2e(input CUBE)
fullscreen_e2e(mouse CUBE)
fullscreen_e2e(modes CUBE)

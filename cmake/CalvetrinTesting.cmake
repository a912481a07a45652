# calvetrin_add_test(NAME SOURCES src... [REAL_GL] [XVFB] [LIBS lib...] [PROPERTIES ...])
#
# Builds one GoogleTest executable against calvetrin_core and registers it with
# CTest. By default the test links the recording OpenGL double and the settable
# clock in place of the real libraries; REAL_GL links Mesa's OpenGL and GLU and
# runs the test under Xvfb instead (the real SDL clock is used then too).
# XVFB keeps the doubles but runs the test under Xvfb, for code that needs a
# real X display or SDL window while its own OpenGL calls are recorded.
#
# The Windows build builds only the tests named in calvetrin_windows_tests:
# those that need no display and nothing of POSIX, with the same doubles. ctest
# runs them under Wine (CMAKE_CROSSCOMPILING_EMULATOR, below). GoogleTest is
# built there from Debian's source package of it.
set(calvetrin_windows_tests
    test_doubles
    test_settings test_byte_reader test_archive test_archive_texture test_resource_cache test_mesh
    test_mesh_entry_writer test_image_header
    test_actions test_animator test_sequencer test_scene_node test_transform
    test_plasma test_texturegen_cache test_run_loop
    test_obj_model
    test_registry_value_windows test_image_decoder)
# calvetrin_windows_manifest(TARGET): a Windows test program gets the
# programs' manifest, so that it runs with the same (UTF-8) code page.
function(calvetrin_windows_manifest target)
  set(rc ${CMAKE_BINARY_DIR}/resources/test-manifest.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "#include <windows.h>
CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${CMAKE_SOURCE_DIR}/platform/windows/resources/calvetrin.manifest\"
")
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
               ${CMAKE_SOURCE_DIR}/platform/windows/resources/calvetrin.manifest)
endfunction()

if(CALVETRIN_BUILD_TESTS)
  enable_testing()
  add_custom_target(unit_tests)
  if(WIN32)
    # Every cross-built test program runs through Wine, in a prefix of the build's own.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/harness/wine.sh ${CMAKE_BINARY_DIR}/wine)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# Sanitizer builds: SDL unloads the OpenGL libraries when it shuts down (and
# with them libGLX_mesa and Mesa's software driver, swrast_dri.so), before
# LeakSanitizer looks; their own bookkeeping then shows up as leaks "in an
# unknown module" that no suppression can name, in some runs and not others (a
# bare SDL + OpenGL program shows the same). Preloading the whole stack keeps
# it mapped, so its memory stays reachable or is suppressed by library name
# (tests/lsan.supp). Only the program under test gets the preload; the ASan
# runtime must come first in it.
# CALVETRIN_GL_PRELOAD is the LD_PRELOAD value for such programs (empty
# outside sanitizer builds).
set(CALVETRIN_GL_PRELOAD "")
if(CALVETRIN_SANITIZE)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
    OUTPUT_VARIABLE calvetrin_preload_asan OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(calvetrin_lib_dirs /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE} /usr/lib)
  find_file(CALVETRIN_LIBGL libGL.so.1 PATHS ${calvetrin_lib_dirs} NO_DEFAULT_PATH REQUIRED)
  find_file(CALVETRIN_LIBGLX_MESA libGLX_mesa.so.0 PATHS ${calvetrin_lib_dirs} NO_DEFAULT_PATH REQUIRED)
  find_file(CALVETRIN_SWRAST_DRI swrast_dri.so PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/dri /usr/lib/dri
    NO_DEFAULT_PATH REQUIRED)
  set(CALVETRIN_GL_PRELOAD
      "${calvetrin_preload_asan} ${CALVETRIN_LIBGL} ${CALVETRIN_LIBGLX_MESA} ${CALVETRIN_SWRAST_DRI}")
endif()

# Every test that opens a display runs under Xvfb (tests/harness/with-xvfb.sh)
# and, in sanitizer builds, with that preload.
set(calvetrin_display_runner ${CMAKE_SOURCE_DIR}/tests/harness/with-xvfb.sh)
if(CALVETRIN_GL_PRELOAD)
  list(APPEND calvetrin_display_runner --preload "${CALVETRIN_GL_PRELOAD}")
endif()

# A test's own sources are compiled without optimisation: GoogleTest's macros
# make them most of a test tree's compile time (three times as much at -O2),
# and the code under test keeps the tree's flags and sanitizers.
function(calvetrin_add_test name)
  cmake_parse_arguments(T "REAL_GL;XVFB" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(WIN32 AND NOT name IN_LIST calvetrin_windows_tests)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE -O0)
  if(WIN32)
    calvetrin_windows_manifest(${name})
    # SDL is a static library here: the clock and event doubles, linked
    # first, win over its own definitions of the same functions.
    target_link_libraries(${name} PRIVATE ${T_LIBS} calvetrin_test_clock calvetrin_core calvetrin_test_gl
                          GTest::gtest_main)
    target_link_options(${name} PRIVATE -Wl,--allow-multiple-definition)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "wine" TIMEOUT 300)
    return()
  endif()
  if(T_REAL_GL)
    target_link_libraries(${name} PRIVATE ${T_LIBS} calvetrin_core OpenGL::GL OpenGL::GLU GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${calvetrin_display_runner} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES LABELS "gl" TIMEOUT 300)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} calvetrin_test_clock calvetrin_core calvetrin_test_gl GTest::gtest_main)
    if(T_XVFB)
      add_test(NAME ${name} COMMAND ${calvetrin_display_runner} $<TARGET_FILE:${name}>)
      set_tests_properties(${name} PROPERTIES LABELS "x11" TIMEOUT 300)
    else()
      add_test(NAME ${name} COMMAND ${name})
      set_tests_properties(${name} PROPERTIES LABELS "unit" TIMEOUT 300)
      # The target unit_tests builds exactly what `ctest -L unit` runs.
      add_dependencies(unit_tests ${name})
    endif()
  endif()
  # No registry file, and a user folder of the test's own: a test never reads
  # or writes the settings of the user who runs it.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "CALVETRIN_REGISTRY=${CMAKE_CURRENT_BINARY_DIR}/${name}.no-registry.reg;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}.config")
  if(T_PROPERTIES)
    set_tests_properties(${name} PROPERTIES ${T_PROPERTIES})
  endif()
endfunction()

# calvetrin_add_test(NAME SOURCES src... [REAL_GL] [XVFB] [LIBS lib...] [PROPERTIES ...])
#
# Builds one GoogleTest executable against calvetrin_core and registers it with
# CTest. By default the test links the recording OpenGL double and the settable
# clock in place of the real libraries; REAL_GL links Mesa's OpenGL and GLU and
# runs the test under Xvfb instead (the real SDL clock is used then too).
# XVFB keeps the doubles but runs the test under Xvfb, for code that needs a
# real X display or SDL window while its own OpenGL calls are recorded.
if(CALVETRIN_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
endif()

function(calvetrin_add_test name)
  if(NOT CALVETRIN_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "REAL_GL;XVFB" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_REAL_GL)
    target_link_libraries(${name} PRIVATE ${T_LIBS} calvetrin_core OpenGL::GL OpenGL::GLU GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES LABELS "gl" TIMEOUT 300)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} calvetrin_test_clock calvetrin_core calvetrin_test_gl GTest::gtest_main)
    if(T_XVFB)
      add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh $<TARGET_FILE:${name}>)
      set_tests_properties(${name} PROPERTIES LABELS "x11" TIMEOUT 300)
    else()
      add_test(NAME ${name} COMMAND ${name})
      set_tests_properties(${name} PROPERTIES LABELS "unit" TIMEOUT 300)
    endif()
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "CALVETRIN_REGISTRY=${CMAKE_CURRENT_BINARY_DIR}/${name}.no-registry.reg")
  if(T_PROPERTIES)
    set_tests_properties(${name} PROPERTIES ${T_PROPERTIES})
  endif()
endfunction()

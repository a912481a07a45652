# The preview mode end to end: the screensaver started with "/p" and the id
# of a parent window made by xparent, under Xvfb.
add_executable(xparent ${CMAKE_CURRENT_LIST_DIR}/xparent.cpp)
target_include_directories(xparent PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(xparent PRIVATE PkgConfig::X11 PkgConfig::SDL)
set_target_properties(xparent PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

if(TARGET calvetrin)
  set(preview_program $<TARGET_FILE:calvetrin>)
else()
  # Until the screensaver's entry is built, a stand-in entry runs the preview.
  add_executable(preview_driver ${CMAKE_CURRENT_LIST_DIR}/preview_driver.cpp)
  target_link_libraries(preview_driver PRIVATE calvetrin_entry calvetrin_core OpenGL::GL OpenGL::GLU)
  set_target_properties(preview_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set(preview_program $<TARGET_FILE:preview_driver>)
endif()

add_test(NAME e2e_preview
         COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh ${CMAKE_CURRENT_LIST_DIR}/preview_e2e.sh
                 ${preview_program} $<TARGET_FILE:xparent> ${CMAKE_CURRENT_BINARY_DIR}/preview_e2e)
set_tests_properties(e2e_preview PROPERTIES LABELS "e2e;x11" TIMEOUT 900)

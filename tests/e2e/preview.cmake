# The preview mode end to end: the screensaver started with "/p" and the id
# of a parent window made by xparent, under Xvfb.
add_executable(xparent ${CMAKE_CURRENT_LIST_DIR}/xparent.cpp)
target_include_directories(xparent PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(xparent PRIVATE PkgConfig::X11 Calvetrin::SDL)
set_target_properties(xparent PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

if(TARGET calvetrin)
  add_test(NAME e2e_preview
           COMMAND ${CMAKE_SOURCE_DIR}/tests/with-xvfb.sh ${CMAKE_CURRENT_LIST_DIR}/preview_e2e.sh
                   $<TARGET_FILE:calvetrin> $<TARGET_FILE:xparent> ${CMAKE_CURRENT_BINARY_DIR}/preview_e2e)
  set_tests_properties(e2e_preview PROPERTIES LABELS "e2e;x11" TIMEOUT 900)
endif()

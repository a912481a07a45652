# The test doubles linked in place of the real libraries (see
# calvetrin_add_test): a recording OpenGL, and a settable clock with scripted
# events. Included by the test tree and by the fuzz tree.
add_library(calvetrin_test_gl STATIC ${CMAKE_SOURCE_DIR}/tests/doubles/gl_recorder.cpp)
target_include_directories(calvetrin_test_gl PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(calvetrin_test_gl PUBLIC Calvetrin::SDL)

add_library(calvetrin_test_clock STATIC ${CMAKE_SOURCE_DIR}/tests/doubles/fake_clock.cpp
                                        ${CMAKE_SOURCE_DIR}/tests/doubles/fake_events.cpp)
target_include_directories(calvetrin_test_clock PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(calvetrin_test_clock PUBLIC Calvetrin::SDL)

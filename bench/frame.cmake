# bench_frame: milliseconds per full-screen frame, split into the plasma
# update, the scene drawing and the buffer swap, on the real OpenGL under
# Xvfb (tests/harness/with-xvfb.sh bench/.../bench_frame). It opens the display and
# assembles the scene from the default content in bin/, like the screensaver.
add_executable(bench_frame ${CMAKE_CURRENT_LIST_DIR}/frame_main.cpp)
target_link_libraries(bench_frame PRIVATE calvetrin_core OpenGL::GL OpenGL::GLU benchmark::benchmark)
target_compile_definitions(bench_frame PRIVATE CALVETRIN_BENCH_CONTENT_DIR="${CMAKE_BINARY_DIR}/bin/")
add_dependencies(bench_frame calvetrin_content)

# A few frames as a smoke test, so that the benchmark keeps building and
# running.

if(CALVETRIN_BUILD_TESTS)
  add_test(NAME bench_frame_smoke
    COMMAND ${CMAKE_SOURCE_DIR}/tests/harness/with-xvfb.sh env "LD_PRELOAD=${CALVETRIN_GL_PRELOAD}"
            $<TARGET_FILE:bench_frame> --frames=5 --warmup=1)
  set_tests_properties(bench_frame_smoke PROPERTIES LABELS bench TIMEOUT 300
    ENVIRONMENT "CALVETRIN_REGISTRY=${CMAKE_CURRENT_BINARY_DIR}/bench_frame.no-registry.reg;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/bench_frame.config")
endif()

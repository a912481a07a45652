# Plasma::update against the plain per-texel formula. Links a no-op OpenGL
# stub so that it runs without a display and measures only the painting.
add_executable(bench_plasma
  ${CMAKE_CURRENT_LIST_DIR}/plasma_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plasma_gl_stub.cpp)
target_link_libraries(bench_plasma PRIVATE calvetrin_core benchmark::benchmark)
if(CALVETRIN_BUILD_TESTS)
  add_test(NAME bench_plasma_smoke COMMAND bench_plasma --benchmark_min_time=0.01)
  set_tests_properties(bench_plasma_smoke PROPERTIES LABELS "bench" TIMEOUT 300)
endif()

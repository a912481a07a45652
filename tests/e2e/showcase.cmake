# scripts/showcase.sh, what scripts/run.sh shows without a display, on this
# tree's programs and content: it takes its pictures and ends with 0, and
# leaves the caller's own settings folder alone.
add_test(NAME e2e_showcase
  COMMAND sh -c "rm -rf \"$0\" && env -u DISPLAY XDG_CONFIG_HOME=\"$0/caller\" \"$1\" \"$2\" \"$0/out\" && test ! -e \"$0/caller\""
          ${CMAKE_CURRENT_BINARY_DIR}/showcase ${CMAKE_SOURCE_DIR}/scripts/showcase.sh $<TARGET_FILE_DIR:calvetrin>)
set_tests_properties(e2e_showcase PROPERTIES LABELS "e2e;x11" TIMEOUT 300
  ENVIRONMENT "GL_PRELOAD=${CALVETRIN_GL_PRELOAD}")

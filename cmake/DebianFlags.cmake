# Debian's compiler and linker flags with every hardening feature (stack
# protector, fortified libc calls, read-only relocations bound at start-up),
# as dpkg-buildflags gives them for a package build from the source tree.
# CMake has no preprocessor flags of its own, so CPPFLAGS go with the
# compiler's. Used by the Debian package's tree (CALVETRIN_DEBIAN_FLAGS).
foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get ${kind}
                  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                  OUTPUT_VARIABLE deb_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endforeach()
string(APPEND CMAKE_C_FLAGS " ${deb_CPPFLAGS} ${deb_CFLAGS}")
string(APPEND CMAKE_CXX_FLAGS " ${deb_CPPFLAGS} ${deb_CXXFLAGS}")
string(APPEND CMAKE_EXE_LINKER_FLAGS " ${deb_LDFLAGS}")

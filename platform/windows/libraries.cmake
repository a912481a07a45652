# The libraries of the Windows build, which Debian does not package for
# mingw-w64:
# - Calvetrin::SDL: SDL 1.2 built as a static library from Debian's source
#   package by scripts/build-windows.sh, found under CALVETRIN_SDL_PREFIX. Its
#   SDLmain is not used: the screensaver has its own WinMain, and the console
#   programs their own main.
# - stb: stb_image_write for the tests that encode images, as Debian's libstb
#   is on Linux.
set(CALVETRIN_SDL_PREFIX "" CACHE PATH "Where the Windows build of SDL 1.2 is installed")
if(NOT EXISTS "${CALVETRIN_SDL_PREFIX}/lib/libSDL.a")
  message(FATAL_ERROR "No SDL 1.2 for Windows under CALVETRIN_SDL_PREFIX='${CALVETRIN_SDL_PREFIX}' "
                      "(scripts/build-windows.sh builds it)")
endif()
# OpenGL's (and GDI's) functions are declared without dllimport (which
# _GDI32_ selects in wingdi.h), so that the recording
# double of the tests can define them; the programs reach opengl32.dll and
# glu32.dll through the import libraries' stubs just the same.
add_compile_definitions(_GDI32_)

add_library(Calvetrin::SDL INTERFACE IMPORTED)
set_target_properties(Calvetrin::SDL PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${CALVETRIN_SDL_PREFIX}/include/SDL"
  INTERFACE_LINK_LIBRARIES "${CALVETRIN_SDL_PREFIX}/lib/libSDL.a;user32;gdi32;winmm")

# Debian's stb headers, seen as <stb/...> without putting the host's
# /usr/include on the cross compiler's path.
set(CALVETRIN_STB_DIR /usr/include/stb CACHE PATH "Debian's stb headers")
if(NOT EXISTS "${CALVETRIN_STB_DIR}/stb_image.h")
  message(FATAL_ERROR "stb_image.h not found in CALVETRIN_STB_DIR='${CALVETRIN_STB_DIR}' (package libstb-dev)")
endif()
set(calvetrin_stb_include ${CMAKE_BINARY_DIR}/stb-include)
file(MAKE_DIRECTORY ${calvetrin_stb_include})
file(CREATE_LINK ${CALVETRIN_STB_DIR} ${calvetrin_stb_include}/stb SYMBOLIC)

add_library(stb STATIC ${CMAKE_CURRENT_LIST_DIR}/image/stb_image_write.cpp)
target_include_directories(stb SYSTEM PUBLIC ${calvetrin_stb_include})

# Calvetrin::SDL_image on every system: IMG_Load_RW over stb_image, compiled
# into the programs (platform/image/SDL_image.h says why).
#
# The decoder is Debian's stb_image 2.27 (libstb-dev), copied into the build
# tree at configure time with the fixes below, each an exact replacement of
# text in that version: configuring stops if the text is not found, so that
# another version of the header gets its fixes looked at again. What the
# header mishandles but can be told from the picture's structure is refused
# before decoding instead (SDL_image.cpp).
set(CALVETRIN_STB_DIR /usr/include/stb CACHE PATH "Debian's stb headers")
file(READ ${CALVETRIN_STB_DIR}/stb_image.h calvetrin_stb_image)

# stb_image_fix(WHAT OLD NEW): replaces the one occurrence of OLD.
function(stb_image_fix what old new)
  string(FIND "${calvetrin_stb_image}" "${old}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${CALVETRIN_STB_DIR}/stb_image.h is not the stb_image 2.27 these fixes are for "
                        "(no text to fix for: ${what})")
  endif()
  string(REPLACE "${old}" "${new}" fixed "${calvetrin_stb_image}")
  set(calvetrin_stb_image "${fixed}" PARENT_SCOPE)
endfunction()

# A marker met while the JPEG bit buffer is refilled ended the refill at
# once, with fewer bits in the buffer than the caller was about to take: the
# count of bits then went negative and the next refill shifted by 32 or more
# (undefined). The rest of the buffer is filled with zero bits instead, as
# every later refill after a marker does anyway.
stb_image_fix("a marker in the middle of a JPEG code"
  "         if (c != 0) {
            j->marker = (unsigned char) c;
            j->nomore = 1;
            return;
         }"
  "         if (c != 0) {
            j->marker = (unsigned char) c;
            j->nomore = 1;
            b = 0;
         }")

# Written only when it changed, so that configuring again rebuilds nothing.
set(calvetrin_stb_fixed ${CMAKE_BINARY_DIR}/stb-fixed/stb_image.h)
set(calvetrin_stb_before "")
if(EXISTS ${calvetrin_stb_fixed})
  file(READ ${calvetrin_stb_fixed} calvetrin_stb_before)
endif()
if(NOT calvetrin_stb_before STREQUAL calvetrin_stb_image)
  file(WRITE ${calvetrin_stb_fixed} "${calvetrin_stb_image}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CALVETRIN_STB_DIR}/stb_image.h)

add_library(calvetrin_sdl_image STATIC ${CMAKE_CURRENT_LIST_DIR}/SDL_image.cpp)
target_include_directories(calvetrin_sdl_image PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_include_directories(calvetrin_sdl_image PRIVATE ${CMAKE_SOURCE_DIR})
target_include_directories(calvetrin_sdl_image SYSTEM PRIVATE ${CMAKE_BINARY_DIR}/stb-fixed)
target_link_libraries(calvetrin_sdl_image PUBLIC Calvetrin::SDL)
add_library(Calvetrin::SDL_image ALIAS calvetrin_sdl_image)

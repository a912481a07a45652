# Calvetrin::SDL_image on every system: IMG_Load_RW over stb_image, compiled
# into the programs (platform/image/SDL_image.h says why). Debian's stb
# headers are seen as <stb/...>: from /usr/include on Linux, through the
# cross build's own link to them on Windows (libraries.cmake).
add_library(calvetrin_sdl_image STATIC ${CMAKE_CURRENT_LIST_DIR}/SDL_image.cpp)
target_include_directories(calvetrin_sdl_image PUBLIC ${CMAKE_CURRENT_LIST_DIR} PRIVATE ${CMAKE_SOURCE_DIR})
if(WIN32)
  target_include_directories(calvetrin_sdl_image SYSTEM PRIVATE ${calvetrin_stb_include})
endif()
target_link_libraries(calvetrin_sdl_image PUBLIC Calvetrin::SDL)
add_library(Calvetrin::SDL_image ALIAS calvetrin_sdl_image)

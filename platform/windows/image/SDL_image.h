// Image decoding for the Windows build: the part of SDL_image 1.2's interface
// that Calvetrin calls, over stb_image (SDL_image's own source is not to be
// had for mingw-w64). On Linux the real SDL_image is used.
//
//   SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(bytes, size), 1);
//   if (!s) log(IMG_GetError());
//
// PNG (grey, grey + alpha, RGB, RGBA, 8-bit paletted, each with or without a
// transparent colour, 16-bit channels taken down to 8), baseline and progressive
// JPEG and BMP are decoded; GIF, TGA and the rest are refused, as the texture
// code above refuses them on every system.
#pragma once

#include <SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

// Decodes the image the stream holds from its current position. The result is
// a software surface with bytes R, G, B (24 bits, for images without alpha) or
// R, G, B, A (32 bits) in memory; the caller frees it with SDL_FreeSurface.
// NULL on failure, with the reason in IMG_GetError(). When freesrc is non-zero
// the stream is closed, whether decoding succeeded or not.
SDL_Surface* IMG_Load_RW(SDL_RWops* src, int freesrc);

#define IMG_GetError SDL_GetError
#define IMG_SetError SDL_SetError

#ifdef __cplusplus
}
#endif

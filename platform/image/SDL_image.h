// Image decoding for every build: the part of SDL_image 1.2's interface that
// Calvetrin calls, over stb_image compiled into the program. The texture code
// and the preview pane decode through it on Linux and on Windows alike, so a
// picture looks and fails the same on both, and the fuzz targets see inside
// the decoder.
//
//   SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(bytes, size), 1);
//   if (!s) log(IMG_GetError());
//
// PNG (grey, grey + alpha, RGB, RGBA, paletted, each with or without a
// transparent colour, 16-bit channels taken down to 8, interlaced or not),
// baseline and progressive JPEG and uncompressed BMP are decoded; GIF, TGA,
// RLE-compressed BMP and the rest are refused.
//
// The stream is read whole into memory first (at most kMaxEncodedBytes), and
// the decoder works on that copy, so it cannot read past the bytes it was
// given. The work a picture can cause is bounded before decoding: no single
// allocation beyond what the declared size needs, no BMP shorter than its
// pixel rows, no JPEG of more than kMaxJpegScans scans or whose scans
// together cover more than kMaxJpegScanPixels pixels. Structures that
// stb_image 2.27 mishandles (see SDL_image.cpp) are refused before it sees
// them. Nothing is printed.
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

// Limits of IMG_Load_RW (see above).
constexpr long kMaxEncodedBytes = 256L * 1024 * 1024;
// Ordinary progressive JPEGs have ten or so scans (six for grey), baseline
// ones one per component at most. Each scan is decoded over the whole
// picture: 2^28 pixels is sixteen scans of a 4096 x 4096 picture.
constexpr long long kMaxJpegScans = 32;
constexpr long long kMaxJpegScanPixels = 1LL << 28;
#endif

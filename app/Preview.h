// The preview mode: a 152 x 112 child window inside the pane of the system's
// screensaver dialog, painted pixel by pixel from "preview.ppk" in the
// installation directory. The entry calls runPreview with the pane's window
// handle from the command line and returns its result as the exit code.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// The pane the child window lives in, and the child window itself.
extern HWND previewParent;
extern HWND previewWindow;

// Registers the window class, creates the child window, paints it and runs
// the message loop until the window is destroyed. Returns the exit code: 0,
// also when the class is refused ("dermo" on the standard output) or the
// window cannot be created (no parent, or one that does not exist).
int runPreview(HINSTANCE instance, int32_t parentHandle);

// The picture from the bytes of a preview file, as 24-bit pixels in memory
// order blue, green, red (other bitmap depths are converted); the caller frees
// it with SDL_FreeSurface. Null when the bytes are not an uncompressed bitmap
// (RLE-compressed ones are refused on every system), when it is damaged, or
// when its header declares a side above 2048 pixels: such a picture is
// refused before anything is decoded, and the pane stays blank as for a
// missing file.
SDL_Surface* loadPreviewPicture(const unsigned char* data, std::size_t size);

// The child window's procedure: WM_PAINT paints the picture, read anew from
// the file; WM_DESTROY posts the quit message with code 0.
LRESULT CALLBACK previewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

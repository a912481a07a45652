// The one translation unit holding stb_image_write's code in the Windows
// build (Debian ships it compiled as libstb on Linux).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <cstdio>

#include "platform/platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::printf("Calvetrin: the full-screen mode is not there yet.\n");
    return 0;
}

// The process-wide generator cache never frees its generators; tests that
// create some through mesh reading free them afterwards to stay leak-free.
#pragma once

#include "texgen/TexturegenCache.h"

inline void forgetGenerators() {
    for (Texturegen* g : texturegenCache.generators) delete g;
    texturegenCache.generators.clear();
    texturegenCache.names.clear();
}

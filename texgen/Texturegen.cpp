#include "texgen/Texturegen.h"

Texturegen::~Texturegen() { delete[] pixels; }

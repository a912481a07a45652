#include "texgen/Plasma.h"

#include <GL/gl.h>

Plasma::Plasma(std::int32_t w, std::int32_t h, const char* colourText) {
    PlasmaPainter::parseColour(colourText, baseColour);
    if (!PlasmaPainter::validSize(w, h)) return;

    width = w;
    height = h;
    stepX = 6.28 / width;
    stepY = 6.28 / height;
    byteCount = height * width * 4;
    pixels = new std::uint8_t[static_cast<std::size_t>(byteCount)];
    painter = PlasmaPainter(width, height, baseColour);
    glGenTextures(1, &textureId);
}

void Plasma::update(std::int32_t timeMs) {
    if (!pixels) return;
    painter.paint(timeMs, pixels);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

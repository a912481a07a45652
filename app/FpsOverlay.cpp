#include "app/FpsOverlay.h"

#include <GL/gl.h>

#include <array>
#include <cstdio>

namespace {

// Each glyph drawn on a 5 x 7 grid, top row first, and shown at twice that
// size: the smallest font that stays legible on a large screen.
struct GlyphSource {
    char character;
    const char* rows[7];
};
constexpr GlyphSource kGlyphSources[] = {
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
};
constexpr int kScale = kGlyphWidth / 5;
constexpr int kRowBytes = (kGlyphWidth + 7) / 8;
using GlyphBits = std::array<GLubyte, kRowBytes * kGlyphHeight>;

// glBitmap's layout: rows from the bottom up, the leftmost pixel in the
// highest bit of a row's first byte.
GlyphBits expand(const GlyphSource& source) {
    GlyphBits bits{};
    for (int y = 0; y < kGlyphHeight; ++y) {
        const char* row = source.rows[6 - y / kScale];
        for (int x = 0; x < kGlyphWidth; ++x)
            if (row[x / kScale] == '#') bits[y * kRowBytes + x / 8] |= static_cast<GLubyte>(0x80 >> (x % 8));
    }
    return bits;
}

const GlyphBits* glyphFor(char c) {
    static const auto table = [] {
        std::array<GlyphBits, sizeof kGlyphSources / sizeof kGlyphSources[0]> t{};
        for (std::size_t i = 0; i < t.size(); ++i) t[i] = expand(kGlyphSources[i]);
        return t;
    }();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (kGlyphSources[i].character == c) return &table[i];
    return nullptr;
}

// The text once, its lower left corner `dx`, `dy` pixels from the viewport's.
void drawLine(const std::string& text, float grey, int dx, int dy) {
    glColor3f(grey, grey, grey);  // taken into the raster colour by the next call
    glRasterPos2f(-1.0f, -1.0f);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(dx), static_cast<GLfloat>(dy), nullptr);
    for (char c : text) {
        const GlyphBits* bits = glyphFor(c);
        glBitmap(bits ? kGlyphWidth : 0, bits ? kGlyphHeight : 0, 0.0f, 0.0f, kGlyphAdvance, 0.0f,
                 bits ? bits->data() : nullptr);
    }
}

}  // namespace

void FpsCounter::frameDrawn(std::uint32_t nowMs) {
    ++frames_;
    const std::uint32_t elapsed = nowMs - startMs_;  // unsigned: right across the wrap-around
    if (elapsed < 1000) return;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "FPS: %.1f", frames_ * 1000.0 / elapsed);
    text_ = buffer;
    startMs_ = nowMs;
    frames_ = 0;
}

void drawCornerText(const std::string& text) {
    if (text.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_LIGHTING, GL_BLEND, GL_ALPHA_TEST, GL_FOG})
        glDisable(cap);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    // Identity matrices: (-1, -1) is the viewport's lower left corner.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    drawLine(text, 0.0f, kTextMargin + 1, kTextMargin - 1);  // the shadow, below and to the right
    drawLine(text, 1.0f, kTextMargin, kTextMargin);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopClientAttrib();
    glPopAttrib();
}

// The frame rate shown on the screen (the --fps of the Linux hack and window
// modes), as xscreensaver's own hacks show it: "FPS: 29.9" in the lower left
// corner, over the scene.
//
// FpsCounter counts the frames drawn and, once a second, turns them into the
// text; it reads only the tick values it is given. drawCornerText draws a
// line of text with a built-in bitmap font (digits, '.', ':', '-', space and
// the capitals F, P and S; other characters leave a gap), white with a black
// shadow, with OpenGL 1.1 calls only: glBitmap from a raster position at the
// viewport's lower left corner, so it needs neither the window's size nor a
// font file. It saves and restores every state it changes (enables, colour,
// matrices, pixel unpacking), so the scene's next frame sees none of it.
//
//   FpsCounter fps(SDL_GetTicks());
//   ... after each frame: fps.frameDrawn(SDL_GetTicks()); drawCornerText(fps.text());
#pragma once

#include <cstdint>
#include <string>

class FpsCounter {
public:
    explicit FpsCounter(std::uint32_t nowMs) : startMs_(nowMs) {}
    void frameDrawn(std::uint32_t nowMs);
    // Empty until the first second has passed.
    const std::string& text() const { return text_; }

private:
    std::uint32_t startMs_;
    std::uint32_t frames_ = 0;
    std::string text_;
};

// The font's cell: glyphs of kGlyphWidth x kGlyphHeight pixels, kGlyphAdvance
// apart, the text's lower left corner kTextMargin pixels in from the
// viewport's.
constexpr int kGlyphWidth = 10;
constexpr int kGlyphHeight = 14;
constexpr int kGlyphAdvance = 12;
constexpr int kTextMargin = 8;

void drawCornerText(const std::string& text);

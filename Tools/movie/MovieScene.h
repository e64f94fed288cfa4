#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Tools/movie/MoviePainter.h"
#include "Tools/movie/MovieScript.h"

// Draws the layers of a movie description as they stand at one time, back to front.
class MovieScene
{
public:
    explicit MovieScene(const MovieScript& script) : m_Script(script) {}

    void Draw(double time, MoviePainter& painter) const;
    // The brightness of the whole picture at that time: the fade in and out, 0..1.
    double Brightness(double time) const;

    // The block font's glyph for a character: seven rows of five bits (bit 4 leftmost), or null for a
    // character it does not have. Lower case is drawn as capitals.
    static const uint8_t* Glyph(char c);

private:
    void DrawLayer(const MovieLayer& layer, double time, MoviePainter& painter) const;

    // The footage frame of a layer at a time: its file, read once until another one is asked for.
    const std::vector<uint32_t>* FootageFrame(const MovieLayer& layer, double local, int& width, int& height) const;

    const MovieScript& m_Script;
    mutable std::string m_FootagePath;
    mutable std::vector<uint32_t> m_Footage;
    mutable int m_FootageWidth = 0;
    mutable int m_FootageHeight = 0;
};

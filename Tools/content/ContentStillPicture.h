#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Tools/content/ContentError.h"

class WeVirtualFileSystem;

// A still picture (".pic"): a movie description (Tools/movie/MovieScript.h) painted at one moment by the movie
// tool's painter and written as a 2-D texture member with its mip levels. Besides the movie's statements, one
// line of its own:
//
//   still at=<seconds> alpha=opaque|brightness
//
// `at` is the moment painted (default 0); `alpha=brightness` takes each pixel's alpha from its brightness (the
// largest of red, green and blue), so a glowing shape on black becomes a shape on transparency.
class ContentStillPicture
{
public:
    // Parses the text; false with the file, line and reason.
    bool Parse(const std::string& path, const std::string& text, ContentError* error);
    // Paints the parsed picture: ARGB, rows top to bottom.
    std::vector<uint32_t> Paint() const;
    // Reads, paints and writes the member; the painted pixels stay for the preview.
    bool Write(const std::string& path, const std::string& name, WeVirtualFileSystem& staged, ContentError* error);

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    const std::vector<uint32_t>& Pixels() const { return m_Pixels; }

private:
    std::string m_Script;  // the movie statements, the still line blanked
    double m_At = 0.0;
    bool m_AlphaFromBrightness = false;
    int m_Width = 0;
    int m_Height = 0;
    std::vector<uint32_t> m_Pixels;
};

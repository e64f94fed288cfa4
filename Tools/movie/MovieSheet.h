#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The preview of a written movie, made by playing the file back through the video layer as the game
// does: a contact sheet of a few frames spread over its length, and under them, when it has sound, a
// strip of the sound's level along the movie (cyan) with the sheet's frames marked on it (amber).
class MovieSheet
{
public:
    // Plays the whole file; false when it cannot be opened or played to its end.
    bool Load(const std::string& moviePath, int thumbnails);
    bool WritePng(const std::string& path) const;

    int FramesDecoded() const { return m_FramesDecoded; }
    double SoundSeconds() const { return m_SoundSeconds; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    bool HasSound() const { return m_HasSound; }

    // The sheet: X8R8G8B8 pixels, rows of SheetWidth() * 4 bytes.
    int SheetWidth() const { return m_SheetWidth; }
    int SheetHeight() const { return m_SheetHeight; }
    const std::vector<uint8_t>& Sheet() const { return m_Sheet; }

private:
    void Compose(const std::vector<std::vector<uint8_t>>& frames, const std::vector<double>& times,
                 const std::vector<float>& levels, double seconds);

    int m_FramesDecoded = 0;
    double m_SoundSeconds = 0.0;
    int m_Width = 0;
    int m_Height = 0;
    bool m_HasSound = false;
    int m_SheetWidth = 0;
    int m_SheetHeight = 0;
    std::vector<uint8_t> m_Sheet;
};

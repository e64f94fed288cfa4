#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class CMap;
class WeFileStream;

// The game's record after a map file's version: names and pictures, the look (ambient, fog, bloom, the
// final pass's two values), lap times and the loading-screen colour. Written always as the current version;
// read from any older one, each field only when its version carries it.
class CMapHeader
{
public:
    static constexpr int32_t CurrentVersion = 18;
    static constexpr int32_t LapTimeCount = 5;

    CMapHeader();
    virtual ~CMapHeader();
    CMapHeader(const CMapHeader& other);
    // Copies every field but the owner: a header stays with the map it belongs to.
    CMapHeader& operator=(const CMapHeader& other);

    // Reads a header of any version (newer ones as the current one). A damaged header (a short read, or an
    // old start-location count the file cannot hold) stops reading and sets m_Damaged; false then.
    bool Read(WeFileStream& stream);
    void Write(WeFileStream& stream) const;
    // Hands the ambient colour, the fog and the final pass's two values to the render device.
    void Apply() const;

    int32_t m_Version = CurrentVersion;
    CMap* m_Map = nullptr;
    int32_t m_UnlockId = -1;
    WeString m_DisplayName;
    WeString m_Description;
    WeString m_PreviewTexture;  // the set-up screen's picture of the map
    WeString m_LoadingTexture;  // the loading screen's picture
    float m_AmbientColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    WeString m_ObsoleteTexts[2];  // read from old versions only
    float m_WorldScale = 1.0f;    // at least 1 after reading
    float m_FarValue = 2000.0f;
    float m_ValueA = 0.0f;
    WeString m_Text5;
    float m_LapTimes[LapTimeCount] = {60.0f, 59.0f, 58.0f, 0.5f, 0.4f};
    float m_FogStart = 500.0f;
    float m_FogEnd = 2000.0f;
    float m_FogValue3 = 0.0f;
    float m_FogValue4 = 1.0f;
    bool m_FogOn = false;
    float m_FogColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_LoadScreenColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float m_RendererValues[2] = {0.0f, 0.0f};  // the final pass's contrast and brightness
    float m_BloomLevels[3] = {0.0f, 1.0f, 2.0f};
    // Not stored: the last Read stopped at a damaged field.
    bool m_Damaged = false;
};

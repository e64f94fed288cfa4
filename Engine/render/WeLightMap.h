#pragma once
#include <cstdint>

class WeFileStream;
class WeTexture;

// An actor's optional pre-computed lighting texture, kept as DXT1 in memory and stored as a block of the
// actor's record. The texture belongs to the texture manager.
class WeLightMap
{
public:
    static constexpr int32_t SavedTag = -4;

    WeLightMap() = default;
    virtual ~WeLightMap();
    WeLightMap(const WeLightMap&) = delete;
    WeLightMap& operator=(const WeLightMap&) = delete;

    // Reads one block of any tag. The stream always ends where the block's layout and sizes say it ends,
    // whatever became of the texture; false when the block is damaged (cut short or an unreadable record),
    // and then the light map is left as it was.
    bool Load(WeFileStream& stream);
    // Always the newest tag; the texture is compressed first.
    bool Save(WeFileStream& stream);
    // Replaces a texture of any other format by a DXT1 copy of the same size; on failure keeps it.
    void CompressToDXT1();
    // Gives the texture back to the texture manager.
    void Release();

    WeTexture* GetTexture() const { return m_LightMap; }

    WeTexture* m_LightMap = nullptr;

private:
    bool LoadRaw(WeFileStream& stream, int32_t tag);
    void Take(WeTexture* texture);
};

// "game.Render.MaxLightmapSize": read on the first light-map load; 0 keeps every size.
int32_t WeLightMapMaximumSize();

#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"
#include "Platform/gfx_d3dx/D3DX9.h"

class WeFileStream;
class WeVirtualFileSystem;

// What an empty texture is created with.
struct WeTextureCreateRecord
{
    int32_t width;
    int32_t height;
    D3DFORMAT format;
    int32_t usage;
    D3DPOOL pool;
    int32_t mipLevels;
};

// One device texture (2-D, cube or volume) with what it takes to build it again at another quality
// level: its name, its limits and where it came from.
class WeTexture
{
public:
    enum Kind : int32_t
    {
        KindNone = 0,
        KindCube = 1,
        KindVolume = 2,
        Kind2D = 3
    };
    // A level or minimum of this value keeps the current one.
    static constexpr int32_t KeepLevel = 3;
    static constexpr int32_t RecordVersion = 4;

    WeTexture();
    virtual ~WeTexture();
    WeTexture(const WeTexture&) = delete;
    WeTexture& operator=(const WeTexture&) = delete;

    bool Load(WeVirtualFileSystem* vfs, const WeString& name, bool fromPackages, int32_t qualityLevel,
              int32_t minimumLevel, int32_t maximumSize);
    bool Init(const WeTextureCreateRecord& record);
    bool WriteToStream(WeFileStream& stream);
    bool ReadFromStream(WeFileStream& stream, int32_t minimumLevel, int32_t maximumSize);
    bool Lock(void** bits, int32_t* totalBytes, int32_t* rowPitch);
    void Unlock();
    void ShrinkTo(int32_t size);
    void Reload(int32_t qualityLevel, int32_t minimumLevel);
    void SetMinimumQuality(int32_t minimumLevel);
    void MarkPersistent(bool persistent) { m_Persistent |= persistent ? 1 : 0; }

    // Default-pool textures do not survive a reset: the texture manager drops and rebuilds them.
    void OnLostDevice();
    void OnResetDevice();

    IDirect3DBaseTexture9* GetD3DTexture() const { return m_Texture; }
    int32_t GetWidth() const { return m_Width; }
    int32_t GetHeight() const { return m_Height; }

    int32_t m_Kind = KindNone;
    int32_t m_QualityLevel = 2;
    int32_t m_MinimumLevel = 0;
    IDirect3DBaseTexture9* m_Texture = nullptr;
    uint8_t m_LoadedFromData = 0;
    uint8_t m_HasSource = 0;
    uint8_t m_SingleLevel = 0;
    D3DFORMAT m_Format = D3DFMT_UNKNOWN;
    int32_t m_Usage = 0;
    D3DPOOL m_Pool = D3DPOOL_MANAGED;
    int32_t m_Width = 0;
    int32_t m_Height = 0;
    int32_t m_Depth = 0;
    float m_InvWidth = 0.0f;
    float m_InvHeight = 0.0f;
    float m_InvDepth = 0.0f;
    uint8_t m_Valid = 0;
    uint8_t m_Persistent = 0;
    WeString m_Name;
    uint32_t m_LastWriteLow = 0;
    uint32_t m_LastWriteHigh = 0;
    uint8_t m_ShrinkAllowed = 1;

    // Test and tool hooks for the record reader's shared buffer (never shrinks).
    static int64_t StagingCapacity();

private:
    void Release();
    void ComputeReciprocals();
    // Clamps to the maximum size, then scales by the quality level (persistent textures keep their size).
    int32_t ScaleDimension(int32_t size, int32_t maximumSize) const;
    bool CreateFromMemory(const void* bytes, UINT size, int32_t kind, int32_t maximumSize);
    bool ReadRaw(WeFileStream& stream, int64_t end);

    WeTextureCreateRecord m_Record{};  // kept for textures created from code
};

// The share of full size each quality level keeps: 0.25, 0.5, 1.0.
extern const float g_TextureQualityScale[3];

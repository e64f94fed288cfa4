#include "Engine/render/WeTexture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/render/WeRenderDevice.h"
#include "Platform/gfx/GfxFormat.h"
#include "Platform/system/SysFileTime.h"

const float g_TextureQualityScale[3] = {0.25f, 0.5f, 1.0f};

namespace
{

constexpr int32_t TextureFileType = 1;
// Larger than any texture the device accepts; sizes beyond it in a record are lies.
constexpr int32_t MaxDimension = 16384;

// The record reader's staging buffer, shared by every load (main thread only).
std::vector<uint8_t>& Staging()
{
    static std::vector<uint8_t> buffer;
    return buffer;
}

bool ValidDimension(int32_t v)
{
    return v > 0 && v <= MaxDimension;
}

int32_t ClampLevel(int32_t level)
{
    return level < 0 ? 0 : (level > 2 ? 2 : level);
}

WeString DiskPath(const WeString& path)
{
    WeString out = path;
    for (int32_t i = 0; i < out.Length(); ++i)
        if (out.Data()[i] == '\\')
            out.Data()[i] = '/';
    return out;
}

}  // namespace

WeTexture::WeTexture() {}

WeTexture::~WeTexture()
{
    Release();
}

int64_t WeTexture::StagingCapacity()
{
    return int64_t(Staging().size());
}

void WeTexture::Release()
{
    if (m_Texture != nullptr)
        m_Texture->Release();
    m_Texture = nullptr;
    m_Valid = 0;
}

void WeTexture::ComputeReciprocals()
{
    m_InvWidth = m_Width > 0 ? 1.0f / float(m_Width) : 0.0f;
    m_InvHeight = m_Height > 0 ? 1.0f / float(m_Height) : 0.0f;
    m_InvDepth = m_Depth > 0 ? 1.0f / float(m_Depth) : 0.0f;
}

int32_t WeTexture::ScaleDimension(int32_t size, int32_t maximumSize) const
{
    if (maximumSize > 0 && size > maximumSize)
        size = maximumSize;
    if (!m_Persistent && size > 32)
        size = int32_t(float(size) * g_TextureQualityScale[ClampLevel(m_QualityLevel)]);
    return size;
}

bool WeTexture::Load(WeVirtualFileSystem* vfs, const WeString& name, bool fromPackages, int32_t qualityLevel,
                     int32_t minimumLevel, int32_t maximumSize)
{
    if (qualityLevel != KeepLevel)
        m_QualityLevel = ClampLevel(qualityLevel);
    if (minimumLevel != KeepLevel)
        m_MinimumLevel = ClampLevel(minimumLevel);
    if (m_QualityLevel < m_MinimumLevel)
        m_QualityLevel = m_MinimumLevel;
    m_Name = name;

    if (fromPackages)
    {
        m_HasSource = 1;
        if (vfs == nullptr || !vfs->Open(name, TextureFileType))
        {
            Release();
            return false;
        }
        WeFileStream* stream = vfs->GetStream();
        bool ok = stream != nullptr && ReadFromStream(*stream, minimumLevel, maximumSize);
        vfs->Close();
        if (!ok)
            Release();
        return ok;
    }

    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    WeString path = DiskPath(name);
    D3DXIMAGE_INFO info{};
    if (device == nullptr || FAILED(D3DXGetImageInfoFromFileA(path.c_str(), &info)) ||
        !ValidDimension(int32_t(info.Width)) || !ValidDimension(int32_t(info.Height)) ||
        !ValidDimension(int32_t(std::max(info.Depth, 1u))))
    {
        m_HasSource = 0;
        Release();
        return false;
    }
    Release();
    m_Format = info.Format;
    m_Usage = 0;
    m_Width = ScaleDimension(int32_t(info.Width), maximumSize);
    m_Height = ScaleDimension(int32_t(info.Height), maximumSize);
    m_Depth = ScaleDimension(int32_t(std::max(info.Depth, 1u)), maximumSize);
    UINT levels = m_SingleLevel ? 1 : D3DX_DEFAULT;
    HRESULT hr = E_FAIL;
    if (info.ResourceType == D3DRTYPE_TEXTURE)
    {
        m_Kind = Kind2D;
        IDirect3DTexture9* t = nullptr;
        hr = D3DXCreateTextureFromFileExA(device, path.c_str(), UINT(m_Width), UINT(m_Height), levels, 0,
                                          D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                          nullptr, &t);
        m_Texture = t;
    }
    else if (info.ResourceType == D3DRTYPE_CUBETEXTURE)
    {
        m_Kind = KindCube;
        IDirect3DCubeTexture9* t = nullptr;
        hr = D3DXCreateCubeTextureFromFileExA(device, path.c_str(), UINT(m_Width), levels, 0, D3DFMT_FROM_FILE,
                                              D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &t);
        m_Texture = t;
    }
    else if (info.ResourceType == D3DRTYPE_VOLUMETEXTURE)
    {
        m_Kind = KindVolume;
        IDirect3DVolumeTexture9* t = nullptr;
        hr = D3DXCreateVolumeTextureFromFileExA(device, path.c_str(), UINT(m_Width), UINT(m_Height), UINT(m_Depth),
                                                levels, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                D3DX_DEFAULT, 0, nullptr, nullptr, &t);
        m_Texture = t;
    }
    if (FAILED(hr) || m_Texture == nullptr)
    {
        m_Texture = nullptr;
        m_HasSource = 0;
        m_Valid = 0;
        return false;
    }
    m_Pool = D3DPOOL_MANAGED;
    uint64_t time = 0;
    SysFileTime::LastWrite(path.c_str(), &time);
    m_LastWriteLow = uint32_t(time);
    m_LastWriteHigh = uint32_t(time >> 32);
    ComputeReciprocals();
    m_Valid = 1;
    m_HasSource = 1;
    return true;
}

bool WeTexture::CreateFromMemory(const void* bytes, UINT size, int32_t kind, int32_t maximumSize)
{
    Release();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device == nullptr)
        return false;
    int32_t width = ScaleDimension(m_Width, maximumSize);
    int32_t height = ScaleDimension(m_Height, maximumSize);
    int32_t depth = ScaleDimension(std::max(m_Depth, 1), maximumSize);
    UINT levels = m_SingleLevel ? 1 : D3DX_DEFAULT;
    HRESULT hr = E_FAIL;
    if (kind == Kind2D)
    {
        IDirect3DTexture9* t = nullptr;
        hr = D3DXCreateTextureFromFileInMemoryEx(device, bytes, size, UINT(width), UINT(height), levels, 0,
                                                 D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                 nullptr, nullptr, &t);
        m_Texture = t;
    }
    else if (kind == KindCube)
    {
        if (m_Width != m_Height)
            return false;
        height = width;
        IDirect3DCubeTexture9* t = nullptr;
        hr = D3DXCreateCubeTextureFromFileInMemoryEx(device, bytes, size, UINT(width), levels, 0, D3DFMT_FROM_FILE,
                                                     D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                     &t);
        m_Texture = t;
    }
    else if (kind == KindVolume)
    {
        IDirect3DVolumeTexture9* t = nullptr;
        hr = D3DXCreateVolumeTextureFromFileInMemoryEx(device, bytes, size, UINT(width), UINT(height), UINT(depth),
                                                       levels, 0, D3DFMT_FROM_FILE, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                       D3DX_DEFAULT, 0, nullptr, nullptr, &t);
        m_Texture = t;
    }
    else
    {
        return false;
    }
    if (FAILED(hr) || m_Texture == nullptr)
    {
        m_Texture = nullptr;
        return false;
    }
    m_Kind = kind;
    m_Width = width;
    m_Height = height;
    m_Depth = kind == KindVolume ? depth : 1;
    m_Pool = D3DPOOL_MANAGED;
    m_Usage = 0;
    ComputeReciprocals();
    m_Texture->PreLoad();
    m_Valid = 1;
    m_LoadedFromData = 1;
    return true;
}

bool WeTexture::WriteToStream(WeFileStream& stream)
{
    if (m_Texture == nullptr)
        return false;
    ID3DXBuffer* image = nullptr;
    if (FAILED(D3DXSaveTextureToFileInMemory(&image, D3DXIFF_DDS, m_Texture, nullptr)) || image == nullptr)
        return false;
    int32_t size = int32_t(image->GetBufferSize());
    bool ok = size > 0 && stream.WriteInt32(-size) && stream.WriteInt32(RecordVersion) && stream.WriteInt32(m_Kind) &&
              stream.WriteInt32(int32_t(m_Format)) && stream.WriteInt32(m_Width) && stream.WriteInt32(m_Height) &&
              stream.WriteInt32(m_Depth) && stream.WriteInt32(m_MinimumLevel) &&
              stream.WriteInt32(int32_t(m_LastWriteLow)) && stream.WriteInt32(int32_t(m_LastWriteHigh)) &&
              stream.WriteByte(char(m_SingleLevel)) && stream.Write(image->GetBufferPointer(), size);
    image->Release();
    return ok;
}

bool WeTexture::ReadFromStream(WeFileStream& stream, int32_t minimumLevel, int32_t maximumSize)
{
    auto remaining = [&stream]() { return stream.GetEndLimit() - stream.Tell(); };
    int64_t first = stream.ReadInt32();
    int64_t imageSize = first;
    int32_t version = 0;
    if (first < 0)
    {
        imageSize = -first;
        version = stream.ReadInt32();
    }
    if (version < 0 || version > RecordVersion)
        return false;

    // The image bytes are checked against what the stream still holds before the buffer grows.
    auto readImage = [&]() -> bool
    {
        if (imageSize <= 0 || imageSize > remaining())
            return false;
        std::vector<uint8_t>& staging = Staging();
        if (int64_t(staging.size()) < imageSize)
            staging.resize(size_t(imageSize));
        return stream.Read(staging.data(), imageSize) == imageSize;
    };
    auto takeMinimum = [&](int32_t stored)
    {
        m_MinimumLevel = minimumLevel == KeepLevel ? ClampLevel(stored) : ClampLevel(minimumLevel);
        if (m_QualityLevel < m_MinimumLevel)
            m_QualityLevel = m_MinimumLevel;
    };

    if (version <= 2)
    {
        if (!readImage())
            return false;
        stream.ReadString();
        int32_t kind = stream.ReadInt32();
        m_Format = D3DFORMAT(stream.ReadInt32());
        stream.ReadInt32();
        stream.ReadInt32();
        m_Width = stream.ReadInt32();
        m_Height = stream.ReadInt32();
        m_Depth = stream.ReadInt32();
        int32_t storedMinimum = version >= 1 ? stream.ReadInt32() : 0;
        if (version >= 2)
        {
            m_LastWriteLow = uint32_t(stream.ReadInt32());
            m_LastWriteHigh = uint32_t(stream.ReadInt32());
        }
        if ((kind != Kind2D && kind != KindCube) || !ValidDimension(m_Width) || !ValidDimension(m_Height))
            return false;
        m_Depth = 1;
        takeMinimum(version >= 1 ? storedMinimum : m_MinimumLevel);
        return CreateFromMemory(Staging().data(), UINT(imageSize), kind, maximumSize);
    }

    int32_t kind = stream.ReadInt32();
    m_Format = D3DFORMAT(stream.ReadInt32());
    if (version == 3)
    {
        stream.ReadInt32();
        stream.ReadInt32();
    }
    m_Width = stream.ReadInt32();
    m_Height = stream.ReadInt32();
    m_Depth = stream.ReadInt32();
    int32_t storedMinimum = stream.ReadInt32();
    m_LastWriteLow = uint32_t(stream.ReadInt32());
    m_LastWriteHigh = uint32_t(stream.ReadInt32());
    m_SingleLevel = stream.ReadByte() != 0 ? 1 : 0;
    if (!ValidDimension(m_Width) || !ValidDimension(m_Height))
        return false;
    if (kind == KindVolume ? !ValidDimension(m_Depth) : false)
        return false;
    if (kind != KindVolume)
        m_Depth = 1;
    takeMinimum(storedMinimum);
    if (version == 3 && m_SingleLevel && kind == Kind2D)
        return ReadRaw(stream, stream.GetEndLimit());
    if (version == 3 && kind == KindVolume)
        return false;
    if (kind != Kind2D && kind != KindCube && kind != KindVolume)
        return false;
    if (!readImage())
        return false;
    return CreateFromMemory(Staging().data(), UINT(imageSize), kind, maximumSize);
}

bool WeTexture::ReadRaw(WeFileStream& stream, int64_t end)
{
    Release();
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    const GfxFormatInfo* info = GfxFormat::Find(m_Format);
    if (device == nullptr || info == nullptr || info->depth)
        return false;
    int64_t pitch = stream.ReadInt32();
    // A block-compressed row here is one pixel row's share of a block row, as Lock reports it.
    int64_t rowBytes = int64_t(GfxFormat::RowPitch(*info, UINT(m_Width)));
    if (info->block)
        rowBytes /= 4;
    int64_t total = int64_t(m_Height) * pitch;
    if (pitch < rowBytes || pitch <= 0 || total > end - stream.Tell())
        return false;
    IDirect3DTexture9* t = nullptr;
    if (FAILED(device->CreateTexture(UINT(m_Width), UINT(m_Height), 1, 0, m_Format, D3DPOOL_MANAGED, &t, nullptr)) ||
        t == nullptr)
        return false;
    m_Texture = t;
    m_Kind = Kind2D;
    m_Pool = D3DPOOL_MANAGED;
    m_Usage = 0;
    D3DLOCKED_RECT locked{};
    if (FAILED(t->LockRect(0, &locked, nullptr, 0)) || locked.pBits == nullptr)
    {
        Release();
        return false;
    }
    int64_t lockPitch = locked.Pitch;
    int64_t lockRows = int64_t(GfxFormat::RowCount(*info, UINT(m_Height)));
    if (info->block)
    {
        // The level is rows of blocks; seen as pixel rows, each holds a quarter of a block row.
        lockPitch /= 4;
        lockRows *= 4;
    }
    std::vector<uint8_t> row(static_cast<size_t>(pitch));
    int64_t copy = std::min(pitch, lockPitch);
    bool ok = true;
    for (int64_t y = 0; y < m_Height; ++y)
    {
        if (stream.Read(row.data(), pitch) != pitch)
        {
            ok = false;
            break;
        }
        if (y < lockRows)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * lockPitch, row.data(), size_t(copy));
    }
    t->UnlockRect(0);
    if (!ok)
    {
        Release();
        return false;
    }
    ComputeReciprocals();
    m_Valid = 1;
    m_LoadedFromData = 1;
    return true;
}

bool WeTexture::Init(const WeTextureCreateRecord& record)
{
    Release();
    m_Record = record;
    m_Kind = Kind2D;
    m_MinimumLevel = 2;
    m_HasSource = 0;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    if (device == nullptr || !ValidDimension(record.width) || !ValidDimension(record.height))
        return false;
    IDirect3DTexture9* t = nullptr;
    if (FAILED(D3DXCreateTexture(device, UINT(record.width), UINT(record.height), UINT(record.mipLevels),
                                 DWORD(record.usage), record.format, record.pool, &t)) ||
        t == nullptr)
        return false;
    m_Texture = t;
    m_Format = record.format;
    m_Usage = record.usage;
    m_Pool = record.pool;
    m_Width = record.width;
    m_Height = record.height;
    m_Depth = 1;
    m_SingleLevel = record.mipLevels == 1;
    ComputeReciprocals();
    m_Valid = 1;
    return true;
}

void WeTexture::OnLostDevice()
{
    if (m_Pool == D3DPOOL_DEFAULT && m_Texture != nullptr)
        Release();
}

void WeTexture::OnResetDevice()
{
    if (m_Pool == D3DPOOL_DEFAULT && m_Texture == nullptr && m_Record.width > 0)
        Init(m_Record);
}

bool WeTexture::Lock(void** bits, int32_t* totalBytes, int32_t* rowPitch)
{
    if (m_Kind != Kind2D || m_Texture == nullptr || bits == nullptr)
        return false;
    D3DLOCKED_RECT locked{};
    IDirect3DTexture9* t = static_cast<IDirect3DTexture9*>(m_Texture);
    if (FAILED(t->LockRect(0, &locked, nullptr, m_Usage != 0 ? D3DLOCK_DISCARD : 0)))
        return false;
    int32_t pitch = locked.Pitch;
    int32_t total = m_Height * pitch;
    // A block-compressed lock pitch covers four pixel rows; the level holds whole block rows, the last one
    // included when the height is not a multiple of four.
    if (m_Format >= D3DFMT_DXT1 && m_Format <= D3DFMT_DXT5)
    {
        total = ((m_Height + 3) / 4) * pitch;
        pitch /= 4;
    }
    *bits = locked.pBits;
    if (rowPitch != nullptr)
        *rowPitch = pitch;
    if (totalBytes != nullptr)
        *totalBytes = total;
    return true;
}

void WeTexture::Unlock()
{
    if (m_Kind == Kind2D && m_Texture != nullptr)
        static_cast<IDirect3DTexture9*>(m_Texture)->UnlockRect(0);
}

void WeTexture::ShrinkTo(int32_t size)
{
    if (m_Persistent || size <= 0 || !m_ShrinkAllowed || m_Kind != Kind2D || m_Texture == nullptr)
        return;
    int32_t width = std::min(m_Width, size);
    int32_t height = std::min(m_Height, size);
    if (width == m_Width && height == m_Height)
        return;
    IDirect3DDevice9* device = g_RenderDevice.GetDevice();
    IDirect3DTexture9* smaller = nullptr;
    if (device == nullptr ||
        FAILED(D3DXCreateTexture(device, UINT(width), UINT(height), m_SingleLevel ? 1 : D3DX_DEFAULT, DWORD(m_Usage),
                                 m_Format, m_Pool, &smaller)) ||
        smaller == nullptr)
    {
        Release();
        return;
    }
    IDirect3DSurface9* from = nullptr;
    IDirect3DSurface9* to = nullptr;
    IDirect3DTexture9* old = static_cast<IDirect3DTexture9*>(m_Texture);
    if (SUCCEEDED(old->GetSurfaceLevel(0, &from)) && SUCCEEDED(smaller->GetSurfaceLevel(0, &to)))
        D3DXLoadSurfaceFromSurface(to, nullptr, nullptr, from, nullptr, nullptr, D3DX_DEFAULT, 0);
    if (from != nullptr)
        from->Release();
    if (to != nullptr)
        to->Release();
    Release();
    m_Texture = smaller;
    if (!m_SingleLevel)
        D3DXFilterTexture(smaller, nullptr, 0, D3DX_DEFAULT);
    m_Width = width;
    m_Height = height;
    ComputeReciprocals();
    m_Valid = 1;
}

void WeTexture::Reload(int32_t qualityLevel, int32_t minimumLevel)
{
    if (!m_HasSource)
        return;
    if (minimumLevel != KeepLevel)
        m_MinimumLevel = ClampLevel(minimumLevel);
    int32_t level = std::max(ClampLevel(qualityLevel), m_MinimumLevel);
    if (level == m_QualityLevel && m_Texture != nullptr)
        return;
    m_QualityLevel = level;
    Release();
    Load(WeVirtualFileSystem::Instance(), m_Name, true, level, KeepLevel, 0);
}

void WeTexture::SetMinimumQuality(int32_t minimumLevel)
{
    if (m_HasSource)
    {
        Reload(m_QualityLevel, minimumLevel);
        return;
    }
    m_QualityLevel = 2;
    m_MinimumLevel = 2;
}

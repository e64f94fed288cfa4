#include "Engine/runtime/WeOggDecoder.h"

#include <AL/al.h>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeLog.h"
#include "Engine/foundation/WePackageFile.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/runtime/WeAudioDevice.h"

namespace
{
constexpr int32_t OggType = 16;

WeVirtualFileSystem* g_SoundFileSystem = nullptr;

std::vector<uint8_t>& DecodeArea()
{
    static std::vector<uint8_t>* area = new std::vector<uint8_t>();
    return *area;
}

bool ReadWhole(WeFileStream& stream, int64_t size, std::vector<uint8_t>& out)
{
    if (size <= 0 || size > 0x7FFFFFFF)
        return false;
    out.resize(static_cast<size_t>(size));
    return stream.Read(out.data(), size) == size;
}

int32_t FormatFor(int32_t channels)
{
    return channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
}
}  // namespace

void SetSoundFileSystem(WeVirtualFileSystem* fileSystem)
{
    g_SoundFileSystem = fileSystem;
}

bool ReadSoundFile(const WeString& name, std::vector<uint8_t>& out)
{
    out.clear();
    WeVirtualFileSystem* fs = g_SoundFileSystem ? g_SoundFileSystem : WeVirtualFileSystem::Instance();
    if (fs == nullptr)
        return false;
    // The known file systems are read through a private stream, so that the shared one (and whoever
    // has a file open on it) stays where it is.
    WeFileStream stream;
    if (fs == WeVirtualFileSystem::GetDataFile())
    {
        WeDataFile* archive = WeVirtualFileSystem::GetDataFile();
        WePackageFile* file = archive->FindFile(name, OggType);
        if (file == nullptr || !stream.Open(archive->GetPath(), false))
            return false;
        stream.SetScrambled(true);
        if (!stream.SetMember(file->offset, file->size))
            return false;
        return ReadWhole(stream, file->size, out);
    }
    if (fs == WeVirtualFileSystem::GetFileSystem())
    {
        const WeString path = WeVirtualFileSystem::GetFileSystem()->FindPath(name, OggType);
        if (path.IsEmpty() || !stream.Open(path, false))
            return false;
        return ReadWhole(stream, stream.GetSize(), out);
    }
    if (!fs->Open(name, OggType))
        return false;
    const bool ok = fs->GetStream() != nullptr && ReadWhole(*fs->GetStream(), fs->GetSize(), out);
    fs->Close();
    return ok;
}

WeOggDecoder::WeOggDecoder(const WeString& name)
{
    Open(name);
    m_Loop = 0;
}

WeOggDecoder::~WeOggDecoder()
{
    if (m_Opened)
        alDeleteBuffers(BufferCount, m_Buffers);
    m_Reader.Close();
}

bool WeOggDecoder::Open(const WeString& name)
{
    if (!g_AudioDevice.IsInitialised() || !ReadSoundFile(name, m_Data) ||
        !m_Reader.Open(m_Data.data(), static_cast<int32_t>(m_Data.size())))
    {
        m_Data.clear();
        return false;
    }
    m_Format = FormatFor(m_Reader.GetChannels());
    alGetError();
    alGenBuffers(BufferCount, m_Buffers);
    if (alGetError() != AL_NO_ERROR)
    {
        for (uint32_t& buffer : m_Buffers)
            buffer = 0;
        m_Reader.Close();
        m_Data.clear();
        return false;
    }
    m_Area.resize(ChunkSize);
    m_Opened = 1;
    return true;
}

bool WeOggDecoder::FillBuffer(uint32_t buffer)
{
    if (!m_Opened)
        return true;
    int32_t filled = 0;
    // A rewind that is followed by no audio at all ends the fill: a file without samples would
    // otherwise rewind forever.
    bool rewound = false;
    while (filled < ChunkSize)
    {
        const int32_t got = m_Reader.Read(m_Area.data() + filled, ChunkSize - filled);
        if (got >= 1)
        {
            filled += got;
            rewound = false;
            continue;
        }
        if (filled > 0)
            break;
        if (!m_Loop || rewound || !m_Reader.Rewind())
            return false;
        rewound = true;
    }
    alBufferData(buffer, m_Format, m_Area.data(), filled, m_Reader.GetRate());
    return true;
}

uint32_t DecodeOggToBuffer(const WeString& name)
{
    // OpenAL buffers exist only with a context.
    std::vector<uint8_t> bytes;
    if (!g_AudioDevice.IsInitialised() || !ReadSoundFile(name, bytes))
        return 0;
    WeOggReader reader;
    if (!reader.Open(bytes.data(), static_cast<int32_t>(bytes.size())))
        return 0;
    int32_t produced = 0;
    // A file without a single sample is no sound either.
    if (!reader.DecodeAll(DecodeArea(), produced) || produced == 0)
        return 0;
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR)
        return 0;
    alBufferData(buffer, FormatFor(reader.GetChannels()), DecodeArea().data(), produced, reader.GetRate());
    if (alGetError() != AL_NO_ERROR)
    {
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return buffer;
}

int64_t GetOggDecodeAreaSize()
{
    return static_cast<int64_t>(DecodeArea().size());
}

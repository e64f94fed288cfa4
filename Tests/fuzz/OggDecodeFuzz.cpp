// Feeds arbitrary bytes to the Ogg Vorbis reader the sound layer decodes every sound and the music
// with: the whole-file decode of buffered sounds (whose announced length comes from the file), then
// the chunked reads of the music stream, rewinding at the end as a looping stream does. Each input
// runs twice: as it is, and with its page checksums made right, so that a changed byte inside a page
// reaches the Vorbis headers, the granules and the audio packets instead of losing the page.
#include <cstdint>
#include <vector>

#include "Engine/runtime/WeOggReader.h"
#include "Tests/Engine/runtime/OggPages.h"

namespace
{
void Exercise(const std::vector<uint8_t>& bytes)
{
    WeOggReader reader;
    if (!reader.Open(bytes.data(), static_cast<int32_t>(bytes.size())))
        return;
    if (reader.GetChannels() < 1 || reader.GetChannels() > 2)
        __builtin_trap();

    std::vector<uint8_t> area;
    int32_t produced = 0;
    if (reader.DecodeAll(area, produced))
    {
        // Never more than the announced length, and always inside the area.
        const int64_t announced = reader.GetTotalSamples() * reader.GetChannels() * 2;
        if (produced < 0 || produced > announced || static_cast<size_t>(produced) > area.size())
            __builtin_trap();
    }

    // The stream's chunks: a bounded number of fills, each rewinding once at the end.
    std::vector<uint8_t> chunk(0x4000);
    for (int fill = 0; fill < 64; ++fill)
    {
        int32_t filled = 0;
        bool rewound = false;
        while (filled < static_cast<int32_t>(chunk.size()))
        {
            const int32_t got = reader.Read(chunk.data() + filled, static_cast<int32_t>(chunk.size()) - filled);
            if (got > static_cast<int32_t>(chunk.size()) - filled)
                __builtin_trap();
            if (got >= 1)
            {
                filled += got;
                rewound = false;
                continue;
            }
            if (filled > 0 || rewound || !reader.Rewind())
                break;
            rewound = true;
        }
        if (filled == 0)
            break;
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    const std::vector<uint8_t> bytes(data, data + size);
    Exercise(bytes);
    std::vector<uint8_t> mended = bytes;
    if (oggpages::FixChecksums(mended) > 0 && mended != bytes)
        Exercise(mended);
    return 0;
}

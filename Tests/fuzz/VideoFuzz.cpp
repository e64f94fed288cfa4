// Feeds arbitrary files to the movie demuxer and decoders: the container is probed from the bytes, up to a
// bounded number of frames and sound blocks are decoded and converted, the file rewound and read again.
extern "C"
{
#include <libavutil/log.h>
}

#include <cstdint>

#include "Platform/video/VideoDecoder.h"
#include "Tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = FuzzScratchPath("movie");
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    (void)quiet;
    if (size < 1 || !FuzzWriteFile(path, data + 1, size - 1))
        return 0;
    VideoDecoder decoder;
    if (!decoder.Open(path, (data[0] & 1) != 0))
        return 0;
    for (int pass = 0; pass < 2; ++pass)
    {
        for (int i = 0; i < 48; ++i)
            if (decoder.Next() == VideoDecoder::Result::End)
                break;
        if (!decoder.Rewind())
            break;
    }
    decoder.Close();
    return 0;
}

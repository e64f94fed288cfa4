#include "Tools/oggwriter/WeOggWriter.h"

#include <vorbis/vorbisenc.h>

namespace
{
void AppendPage(const ogg_page& page, std::vector<uint8_t>& out)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}
}  // namespace

bool WeOggWriter::Encode(const std::vector<int16_t>& interleaved, int32_t channels, int32_t rate, float quality,
                         std::vector<uint8_t>& out, int32_t serial)
{
    out.clear();
    if (channels < 1 || channels > 8 || rate <= 0)
        return false;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0)
    {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(page, out);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    const size_t step = 4096;
    size_t done = 0;
    bool end = false;
    while (!end)
    {
        const size_t count = frames - done < step ? frames - done : step;
        if (count > 0)
        {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i)
                for (int32_t c = 0; c < channels; ++c)
                    buffer[c][i] = interleaved[(done + i) * static_cast<size_t>(channels) + c] / 32768.0f;
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        else
            vorbis_analysis_wrote(&dsp, 0);
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1)
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                {
                    AppendPage(page, out);
                    if (ogg_page_eos(&page))
                        end = true;
                }
            }
        }
        if (count == 0)
        {
            while (ogg_stream_flush(&stream, &page) != 0)
                AppendPage(page, out);
            end = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

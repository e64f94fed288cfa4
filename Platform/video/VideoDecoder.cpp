#include "Platform/video/VideoDecoder.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>
#include <mutex>

namespace
{

// Movies that fail to decode are the engine's business to report, not libav's to print.
void QuietLibav()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

AVCodecContext* OpenDecoder(AVStream* stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec)
        return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context)
        return nullptr;
    // One decoding thread: the movie's own thread is the only second thread of the process.
    context->thread_count = 1;
    if (avcodec_parameters_to_context(context, stream->codecpar) < 0 || avcodec_open2(context, codec, nullptr) < 0)
    {
        avcodec_free_context(&context);
        return nullptr;
    }
    return context;
}

// A damaged header claiming a huge picture must not make the player allocate gigabytes (four buffers of
// the size are kept); movies for textures are far smaller.
constexpr int MaxSide = 4096;

// About thirty years, in seconds.
constexpr double LatestTime = 1e9;

// What a held packet costs besides its data (the packet and its buffer's bookkeeping), so that a file of
// empty packets is bounded too.
constexpr size_t HeldOverhead = 256;

double Seconds(int64_t value, AVRational base)
{
    return double(value) * av_q2d(base);
}

}  // namespace

VideoDecoder::~VideoDecoder()
{
    Close();
}

bool VideoDecoder::Open(const std::string& path, bool withAudio)
{
    Close();
    QuietLibav();
    m_Path = path;
    m_WithAudio = withAudio;
    // Movies are local files: the name is never taken for a URL of another protocol, and a ':' in it is
    // just a character.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    std::string url = "file:" + path;
    int opened = avformat_open_input(&m_Format, url.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
    {
        m_Format = nullptr;
        return false;
    }
    if (avformat_find_stream_info(m_Format, nullptr) < 0)
    {
        Close();
        return false;
    }
    m_VideoStream = av_find_best_stream(m_Format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_VideoStream < 0)
    {
        Close();
        return false;
    }
    AVStream* video = m_Format->streams[m_VideoStream];
    m_Video = OpenDecoder(video);
    m_Width = video->codecpar->width;
    m_Height = video->codecpar->height;
    if (!m_Video || m_Width <= 0 || m_Height <= 0 || m_Width > MaxSide || m_Height > MaxSide)
    {
        Close();
        return false;
    }
    if (withAudio)
    {
        m_AudioStream = av_find_best_stream(m_Format, AVMEDIA_TYPE_AUDIO, -1, m_VideoStream, nullptr, 0);
        if (m_AudioStream >= 0)
            m_Audio = OpenDecoder(m_Format->streams[m_AudioStream]);
        // A sound track that cannot be decoded leaves the movie silent, not unplayable.
        if (!m_Audio)
            m_AudioStream = -1;
    }
    for (unsigned i = 0; i < m_Format->nb_streams; ++i)
        if (int(i) != m_VideoStream && int(i) != m_AudioStream)
            m_Format->streams[i]->discard = AVDISCARD_ALL;

    if (m_Format->duration != AV_NOPTS_VALUE && m_Format->duration > 0)
        m_Duration = double(m_Format->duration) / AV_TIME_BASE;
    else if (video->duration != AV_NOPTS_VALUE && video->duration > 0)
        m_Duration = Seconds(video->duration, video->time_base);
    AVRational rate = av_guess_frame_rate(m_Format, video, nullptr);
    m_FrameStep = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;

    m_Frame = av_frame_alloc();
    m_Packet = av_packet_alloc();
    if (!m_Frame || !m_Packet)
    {
        Close();
        return false;
    }
    m_Pixels.assign(size_t(m_Width) * size_t(m_Height) * 4 + ScalerSlack, 0);
    m_VideoTime = -m_FrameStep;
    return true;
}

void VideoDecoder::Close()
{
    sws_freeContext(m_Scaler);
    m_Scaler = nullptr;
    swr_free(&m_Resampler);
    av_frame_free(&m_Frame);
    av_packet_free(&m_Packet);
    avcodec_free_context(&m_Video);
    avcodec_free_context(&m_Audio);
    if (m_Format)
        avformat_close_input(&m_Format);
    m_Format = nullptr;
    DropHeld();
    m_VideoStream = m_AudioStream = -1;
    m_InputDone = m_VideoDone = m_AudioDone = false;
    m_Width = m_Height = 0;
    m_Duration = m_VideoTime = m_FrameStep = 0.0;
    m_Pixels.clear();
    m_Samples.clear();
    m_AudioFrames = m_AudioChannels = m_AudioRate = 0;
    m_ResamplerInRate = m_ResamplerInChannels = 0;
    m_ResamplerInFormat = -1;
}

VideoDecoder::Result VideoDecoder::Next()
{
    if (!m_Format)
        return Result::End;
    for (;;)
    {
        // Sound goes out as soon as it is decoded: it never waits for a picture.
        if (m_Audio && !m_AudioDone)
        {
            int got = avcodec_receive_frame(m_Audio, m_Frame);
            if (got == 0)
            {
                bool ok = ConvertAudio();
                av_frame_unref(m_Frame);
                if (ok)
                {
                    m_AudioTime += double(m_AudioFrames) / double(m_AudioRate);
                    return Result::Audio;
                }
                continue;
            }
            if (got == AVERROR_EOF || (got != AVERROR(EAGAIN) && m_InputDone))
                m_AudioDone = true;
        }
        if (!m_HaveFrame && !m_VideoDone)
        {
            int got = avcodec_receive_frame(m_Video, m_Frame);
            if (got == 0)
            {
                m_HaveFrame = ConvertVideo();
                av_frame_unref(m_Frame);
                continue;
            }
            if (got == AVERROR_EOF || m_VideoFlushed)
            {
                // After the end was sent a decoder has nothing more to give, whatever it answers.
                m_VideoDone = true;
                continue;
            }
            if (!m_Held.empty())
            {
                AVPacket* packet = m_Held.front();
                m_Held.pop_front();
                m_HeldBytes -= std::min(m_HeldBytes, size_t(packet->size) + HeldOverhead);
                avcodec_send_packet(m_Video, packet);  // a damaged packet is skipped
                av_packet_free(&packet);
                continue;
            }
            if (m_InputDone)
            {
                avcodec_send_packet(m_Video, nullptr);
                m_VideoFlushed = true;
                continue;
            }
            ReadPacket();
            continue;
        }
        if (m_HaveFrame)
        {
            // The picture waits until its sound and the lead after it have been read.
            if (m_Audio && !m_AudioDone && !m_InputDone && m_AudioTime < m_VideoTime + m_AudioLead && !ReadAheadFull())
            {
                ReadPacket();
                continue;
            }
            m_HaveFrame = false;
            return Result::Video;
        }
        if (!m_Audio || m_AudioDone)
            return Result::End;
        if (m_InputDone)
        {
            // The sound decoder was told the input ended and has nothing more to give.
            m_AudioDone = true;
            continue;
        }
        ReadPacket();
    }
}

void VideoDecoder::ReadPacket()
{
    int read = av_read_frame(m_Format, m_Packet);
    if (read < 0)
    {
        // The end of the file, or a truncated or damaged one: either way play out what was read. The
        // video decoder hears of it once the held pictures have gone in.
        m_InputDone = true;
        if (m_Audio)
            avcodec_send_packet(m_Audio, nullptr);
        return;
    }
    if (m_Packet->stream_index == m_VideoStream && !m_VideoDone)
    {
        AVPacket* held = av_packet_alloc();
        if (held && av_packet_make_refcounted(m_Packet) >= 0)
        {
            av_packet_move_ref(held, m_Packet);
            AVStream* stream = m_Format->streams[m_VideoStream];
            int64_t stamp = held->pts != AV_NOPTS_VALUE ? held->pts : held->dts;
            if (stamp != AV_NOPTS_VALUE)
            {
                double time = Seconds(stamp, stream->time_base);
                if (stream->start_time != AV_NOPTS_VALUE)
                    time -= Seconds(stream->start_time, stream->time_base);
                m_HeldNewest = std::clamp(time, -LatestTime, LatestTime);
            }
            m_HeldBytes += size_t(held->size) + HeldOverhead;
            m_Held.push_back(held);
        }
        else
        {
            av_packet_free(&held);
        }
    }
    else if (m_Audio && m_Packet->stream_index == m_AudioStream && !m_AudioDone)
    {
        avcodec_send_packet(m_Audio, m_Packet);
    }
    av_packet_unref(m_Packet);
}

bool VideoDecoder::ReadAheadFull() const
{
    if (m_Held.empty())
        return false;
    if (m_HeldBytes >= ReadAheadBytes || m_Held.size() >= ReadAheadPackets)
        return true;
    // By the stamps, and by the count for files whose stamps say little.
    double span = std::max(m_HeldNewest - m_VideoTime, double(m_Held.size()) * m_FrameStep);
    return span >= ReadAheadSeconds;
}

void VideoDecoder::DropHeld()
{
    for (AVPacket* packet : m_Held)
        av_packet_free(&packet);
    m_Held.clear();
    m_HeldBytes = 0;
    m_HeldNewest = 0.0;
    m_HaveFrame = false;
    m_VideoFlushed = false;
    m_AudioTime = 0.0;
}

void VideoDecoder::SetAudioLead(double seconds)
{
    m_AudioLead = seconds > 0.0 ? std::min(seconds, LatestTime) : 0.0;
}

bool VideoDecoder::ConvertVideo()
{
    AVStream* stream = m_Format->streams[m_VideoStream];
    int64_t stamp = m_Frame->best_effort_timestamp;
    if (stamp != AV_NOPTS_VALUE)
    {
        // In seconds before subtracting: damaged stamps near the ends of the range cannot overflow.
        m_VideoTime = Seconds(stamp, stream->time_base);
        if (stream->start_time != AV_NOPTS_VALUE)
            m_VideoTime -= Seconds(stream->start_time, stream->time_base);
    }
    else
    {
        m_VideoTime += m_FrameStep;
    }
    // A damaged stamp far in the future stays within what microsecond positions and the steady clock's
    // nanoseconds can hold.
    m_VideoTime = std::clamp(m_VideoTime, 0.0, LatestTime);
    if (m_Frame->width <= 0 || m_Frame->height <= 0)
        return false;

    // Frames are scaled to the size the movie was opened with, so a size change mid-stream cannot
    // overrun the caller's buffers.
    m_Scaler =
        sws_getCachedContext(m_Scaler, m_Frame->width, m_Frame->height, AVPixelFormat(m_Frame->format), m_Width,
                             m_Height, AV_PIX_FMT_BGRA, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!m_Scaler)
        return false;
    uint8_t* planes[4] = {m_Pixels.data(), nullptr, nullptr, nullptr};
    int pitches[4] = {m_Width * 4, 0, 0, 0};
    return sws_scale(m_Scaler, m_Frame->data, m_Frame->linesize, 0, m_Frame->height, planes, pitches) == m_Height;
}

bool VideoDecoder::ConvertAudio()
{
    int inChannels = m_Frame->ch_layout.nb_channels;
    if (inChannels <= 0 || m_Frame->sample_rate <= 0 || m_Frame->nb_samples <= 0)
        return false;
    if (!m_Resampler || m_ResamplerInRate != m_Frame->sample_rate || m_ResamplerInFormat != m_Frame->format ||
        m_ResamplerInChannels != inChannels)
    {
        swr_free(&m_Resampler);
        // OpenAL plays 16-bit mono and stereo; anything wider is mixed down to stereo.
        AVChannelLayout out;
        av_channel_layout_default(&out, inChannels >= 2 ? 2 : 1);
        if (swr_alloc_set_opts2(&m_Resampler, &out, AV_SAMPLE_FMT_S16, m_Frame->sample_rate, &m_Frame->ch_layout,
                                AVSampleFormat(m_Frame->format), m_Frame->sample_rate, 0, nullptr) < 0 ||
            swr_init(m_Resampler) < 0)
        {
            swr_free(&m_Resampler);
            return false;
        }
        m_ResamplerInRate = m_Frame->sample_rate;
        m_ResamplerInFormat = m_Frame->format;
        m_ResamplerInChannels = inChannels;
        m_AudioChannels = out.nb_channels;
        m_AudioRate = m_Frame->sample_rate;
        av_channel_layout_uninit(&out);
    }
    int room = swr_get_out_samples(m_Resampler, m_Frame->nb_samples);
    if (room <= 0)
        return false;
    m_Samples.resize(size_t(room) * size_t(m_AudioChannels));
    uint8_t* out[1] = {reinterpret_cast<uint8_t*>(m_Samples.data())};
    int frames =
        swr_convert(m_Resampler, out, room, const_cast<const uint8_t**>(m_Frame->extended_data), m_Frame->nb_samples);
    if (frames <= 0)
        return false;
    m_AudioFrames = frames;
    return true;
}

void VideoDecoder::Flush()
{
    avcodec_flush_buffers(m_Video);
    if (m_Audio)
        avcodec_flush_buffers(m_Audio);
    if (m_Resampler)
        swr_init(m_Resampler);
    DropHeld();
    m_InputDone = m_VideoDone = m_AudioDone = false;
    m_VideoTime = -m_FrameStep;
}

bool VideoDecoder::Rewind()
{
    if (!m_Format)
        return false;
    AVStream* video = m_Format->streams[m_VideoStream];
    int64_t start = video->start_time != AV_NOPTS_VALUE ? video->start_time : 0;
    if (av_seek_frame(m_Format, m_VideoStream, start, AVSEEK_FLAG_BACKWARD) >= 0 ||
        avformat_seek_file(m_Format, -1, INT64_MIN, 0, 0, 0) >= 0)
    {
        Flush();
        return true;
    }
    // Containers that cannot seek are read again from the start. The player's frame buffers keep the
    // size reported at the first open, so a file that changed size since then is not played on.
    std::string path = m_Path;
    const int width = m_Width;
    const int height = m_Height;
    if (!Open(path, m_WithAudio))
        return false;
    if (m_Width != width || m_Height != height)
    {
        Close();
        return false;
    }
    return true;
}

#include "Platform/video/VideoWriter.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstddef>
#include <cstdio>
#include <vector>

namespace
{

// Movies for textures stay far below this; larger sizes are a mistake in a description.
constexpr int MaxSide = 4096;

struct Track
{
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
};

}  // namespace

struct VideoWriter::State
{
    Settings settings;
    std::string path;
    AVFormatContext* format = nullptr;
    Track video;
    Track audio;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scaler = nullptr;
    int64_t framesWritten = 0;
    int64_t samplesWritten = 0;
    std::vector<float> pending;  // interleaved samples short of a whole encoder frame
    bool headerWritten = false;
    bool failed = false;
};

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter()
{
    if (m_State)
    {
        // Never finished: what exists of the file is not a movie.
        std::string path = m_State->path;
        Release();
        std::remove(path.c_str());
    }
}

bool VideoWriter::Fail(const std::string& why)
{
    if (m_Error.empty())
        m_Error = why;
    if (m_State)
        m_State->failed = true;
    return false;
}

bool VideoWriter::Abandon(const std::string& why)
{
    Fail(why);
    if (m_State)
    {
        std::string path = m_State->headerWritten || (m_State->format && m_State->format->pb) ? m_State->path : "";
        Release();
        if (!path.empty())
            std::remove(path.c_str());
    }
    return false;
}

void VideoWriter::Release()
{
    if (!m_State)
        return;
    State& s = *m_State;
    sws_freeContext(s.scaler);
    av_frame_free(&s.picture);
    av_frame_free(&s.sound);
    av_packet_free(&s.packet);
    avcodec_free_context(&s.video.codec);
    avcodec_free_context(&s.audio.codec);
    if (s.format)
    {
        if (s.format->pb)
            avio_closep(&s.format->pb);
        avformat_free_context(s.format);
    }
    m_State.reset();
}

namespace
{

// Sends one frame (null: the end) and writes every packet the encoder gives back.
bool Encode(AVFormatContext* format, Track& track, AVFrame* frame, AVPacket* packet)
{
    if (avcodec_send_frame(track.codec, frame) < 0)
        return false;
    for (;;)
    {
        int got = avcodec_receive_packet(track.codec, packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return true;
        if (got < 0)
            return false;
        av_packet_rescale_ts(packet, track.codec->time_base, track.stream->time_base);
        packet->stream_index = track.stream->index;
        if (av_interleaved_write_frame(format, packet) < 0)
            return false;
    }
}

AVCodecContext* OpenEncoder(const char* name, AVFormatContext* format, void (*setUp)(AVCodecContext*, void*),
                            void* data)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(name);
    if (!codec)
        return nullptr;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (!context)
        return nullptr;
    // One thread and exact arithmetic: the same input gives the same bytes on every build machine.
    context->thread_count = 1;
    context->flags |= AV_CODEC_FLAG_BITEXACT;
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    setUp(context, data);
    if (avcodec_open2(context, codec, nullptr) < 0)
        avcodec_free_context(&context);
    return context;
}

}  // namespace

bool VideoWriter::Open(const std::string& path, const Settings& settings)
{
    if (m_State)
        Close();
    m_Error.clear();
    Settings want = settings;
    if (settings.width <= 0 || settings.height <= 0 || settings.width > MaxSide || settings.height > MaxSide ||
        settings.width % 2 || settings.height % 2)
        return Abandon("the picture size must be even and at most 4096");
    if (settings.frameRate <= 0 || settings.frameRate > 240 || settings.keyInterval <= 0 || settings.videoBitRate <= 0)
        return Abandon("the frame rate, key interval and bit rate must be positive");
    if (settings.sampleRate < 0 || settings.sampleRate > 192000 ||
        (settings.sampleRate > 0 && (settings.channels < 1 || settings.channels > 2 || settings.soundBitRate <= 0)))
        return Abandon("the sound needs a rate up to 192000, one or two channels and a bit rate");

    av_log_set_level(AV_LOG_QUIET);
    m_State = std::make_unique<State>();
    State& s = *m_State;
    s.settings = settings;
    s.path = path;
    if (avformat_alloc_output_context2(&s.format, nullptr, "matroska", path.c_str()) < 0 || !s.format)
        return Abandon("no Matroska writer");
    // No random identifiers, dates or version strings in the file.
    s.format->flags |= AVFMT_FLAG_BITEXACT;

    s.video.codec = OpenEncoder(
        "libvpx", s.format,
        [](AVCodecContext* c, void* data)
        {
            const Settings& want = *static_cast<const Settings*>(data);
            c->width = want.width;
            c->height = want.height;
            c->pix_fmt = AV_PIX_FMT_YUV420P;
            c->time_base = AVRational{1, want.frameRate};
            c->framerate = AVRational{want.frameRate, 1};
            c->gop_size = want.keyInterval;
            c->bit_rate = want.videoBitRate;
            c->qmin = 4;
            c->qmax = 48;
            av_opt_set(c->priv_data, "deadline", "good", 0);
            av_opt_set_int(c->priv_data, "cpu-used", 2, 0);
            // No hidden reference frames: every packet is a picture that shows.
            av_opt_set_int(c->priv_data, "auto-alt-ref", 0, 0);
        },
        &want);
    if (!s.video.codec)
        return Abandon("no VP8 encoder (libvpx)");
    s.video.stream = avformat_new_stream(s.format, nullptr);
    if (!s.video.stream || avcodec_parameters_from_context(s.video.stream->codecpar, s.video.codec) < 0)
        return Abandon("cannot add the picture track");
    s.video.stream->time_base = s.video.codec->time_base;
    s.video.stream->avg_frame_rate = AVRational{settings.frameRate, 1};

    if (settings.sampleRate > 0)
    {
        s.audio.codec = OpenEncoder(
            "libvorbis", s.format,
            [](AVCodecContext* c, void* data)
            {
                const Settings& want = *static_cast<const Settings*>(data);
                c->sample_fmt = AV_SAMPLE_FMT_FLTP;
                c->sample_rate = want.sampleRate;
                av_channel_layout_default(&c->ch_layout, want.channels);
                c->time_base = AVRational{1, want.sampleRate};
                c->bit_rate = want.soundBitRate;
            },
            &want);
        if (!s.audio.codec)
            return Abandon("no Vorbis encoder (libvorbis)");
        s.audio.stream = avformat_new_stream(s.format, nullptr);
        if (!s.audio.stream || avcodec_parameters_from_context(s.audio.stream->codecpar, s.audio.codec) < 0)
            return Abandon("cannot add the sound track");
        s.audio.stream->time_base = s.audio.codec->time_base;
    }

    s.picture = av_frame_alloc();
    s.sound = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.picture || !s.sound || !s.packet)
        return Abandon("out of memory");
    s.picture->format = AV_PIX_FMT_YUV420P;
    s.picture->width = settings.width;
    s.picture->height = settings.height;
    if (av_frame_get_buffer(s.picture, 0) < 0)
        return Abandon("out of memory");
    s.scaler =
        sws_getContext(settings.width, settings.height, AV_PIX_FMT_BGRA, settings.width, settings.height,
                       AV_PIX_FMT_YUV420P, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
    if (!s.scaler)
        return Abandon("no colour conversion");

    if (avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return Abandon("cannot create " + path);
    if (avformat_write_header(s.format, nullptr) < 0)
        return Abandon("cannot write the file's header");
    s.headerWritten = true;
    return true;
}

bool VideoWriter::WriteFrame(const uint8_t* pixels)
{
    if (!m_State || m_State->failed)
        return Fail("not open");
    State& s = *m_State;
    if (av_frame_make_writable(s.picture) < 0)
        return Fail("out of memory");
    const uint8_t* source[1] = {pixels};
    int pitch[1] = {s.settings.width * 4};
    if (sws_scale(s.scaler, source, pitch, 0, s.settings.height, s.picture->data, s.picture->linesize) !=
        s.settings.height)
        return Fail("colour conversion failed");
    s.picture->pts = s.framesWritten++;
    if (!Encode(s.format, s.video, s.picture, s.packet))
        return Fail("the picture encoder failed");
    return true;
}

namespace
{

bool EncodeSound(VideoWriter::Settings& settings, AVFormatContext* format, Track& audio, AVFrame* sound,
                 AVPacket* packet, const float* samples, int frames, int64_t& written)
{
    sound->format = AV_SAMPLE_FMT_FLTP;
    sound->sample_rate = settings.sampleRate;
    av_channel_layout_default(&sound->ch_layout, settings.channels);
    sound->nb_samples = frames;
    if (av_frame_get_buffer(sound, 0) < 0)
        return false;
    for (int c = 0; c < settings.channels; ++c)
    {
        float* plane = reinterpret_cast<float*>(sound->data[c]);
        for (int i = 0; i < frames; ++i)
            plane[i] = samples[size_t(i) * settings.channels + c];
    }
    sound->pts = written;
    written += frames;
    bool ok = Encode(format, audio, sound, packet);
    av_frame_unref(sound);
    return ok;
}

}  // namespace

bool VideoWriter::WriteSound(const float* samples, int frameCount)
{
    if (!m_State || m_State->failed)
        return Fail("not open");
    State& s = *m_State;
    if (!s.audio.codec)
        return Fail("the movie has no sound track");
    if (frameCount <= 0)
        return true;
    const int channels = s.settings.channels;
    s.pending.insert(s.pending.end(), samples, samples + size_t(frameCount) * channels);
    const int frameSize = s.audio.codec->frame_size > 0 ? s.audio.codec->frame_size : 1024;
    size_t used = 0;
    while (s.pending.size() - used >= size_t(frameSize) * channels)
    {
        if (!EncodeSound(s.settings, s.format, s.audio, s.sound, s.packet, s.pending.data() + used, frameSize,
                         s.samplesWritten))
            return Fail("the sound encoder failed");
        used += size_t(frameSize) * channels;
    }
    s.pending.erase(s.pending.begin(), s.pending.begin() + std::ptrdiff_t(used));
    return true;
}

bool VideoWriter::Close()
{
    if (!m_State)
        return m_Error.empty();
    State& s = *m_State;
    bool ok = !s.failed && s.headerWritten;
    if (ok && s.audio.codec && !s.pending.empty())
    {
        // The last block is padded with silence to a whole encoder frame unless the encoder takes less.
        const int frameSize = s.audio.codec->frame_size > 0 ? s.audio.codec->frame_size : 1024;
        int frames = int(s.pending.size() / size_t(s.settings.channels));
        if (!(s.audio.codec->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME))
        {
            s.pending.resize(size_t(frameSize) * s.settings.channels, 0.0f);
            frames = frameSize;
        }
        ok = EncodeSound(s.settings, s.format, s.audio, s.sound, s.packet, s.pending.data(), frames, s.samplesWritten);
        s.pending.clear();
    }
    ok = ok && Encode(s.format, s.video, nullptr, s.packet);
    if (ok && s.audio.codec)
        ok = Encode(s.format, s.audio, nullptr, s.packet);
    ok = ok && av_write_trailer(s.format) >= 0;
    ok = ok && avio_closep(&s.format->pb) >= 0;
    std::string path = s.path;
    Release();
    if (!ok)
    {
        std::remove(path.c_str());
        return Fail("cannot finish " + path);
    }
    return true;
}

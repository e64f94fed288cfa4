#include "Tests/Platform/video/TestClipWriter.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <vector>

namespace
{

const ClipColour Colours[] = {{255, 0, 0},   {0, 255, 0},     {0, 0, 255},     {255, 255, 0}, {0, 255, 255},
                              {255, 0, 255}, {128, 128, 128}, {255, 255, 255}, {32, 64, 200}, {200, 100, 30}};

struct Track
{
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
};

bool Drain(AVFormatContext* out, Track& track, AVFrame* frame, bool interleave)
{
    if (avcodec_send_frame(track.codec, frame) < 0)
        return false;
    AVPacket* packet = av_packet_alloc();
    bool ok = true;
    for (;;)
    {
        int got = avcodec_receive_packet(track.codec, packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            break;
        if (got < 0)
        {
            ok = false;
            break;
        }
        av_packet_rescale_ts(packet, track.codec->time_base, track.stream->time_base);
        packet->stream_index = track.stream->index;
        if ((interleave ? av_interleaved_write_frame(out, packet) : av_write_frame(out, packet)) < 0)
            ok = false;
    }
    av_packet_free(&packet);
    return ok;
}

}  // namespace

ClipColour ClipColourOf(int frame)
{
    return Colours[frame % 10];
}

bool WriteClip(const std::string& path, const ClipOptions& options)
{
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* out = nullptr;
    if (avformat_alloc_output_context2(&out, nullptr, options.container, path.c_str()) < 0)
        return false;
    bool ok = true;
    Track video, audio;
    if (options.video)
    {
        const AVCodec* codec = avcodec_find_encoder_by_name(options.codec);
        if (!codec)
            return false;
        video.codec = avcodec_alloc_context3(codec);
        video.codec->width = options.width;
        video.codec->height = options.height;
        video.codec->time_base = AVRational{1, 10};
        video.codec->framerate = AVRational{10, 1};
        video.codec->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
        video.codec->gop_size = 5;
        video.codec->max_b_frames = options.bFrames;
        video.codec->flags |= AV_CODEC_FLAG_QSCALE;
        video.codec->global_quality = FF_QP2LAMBDA * 2;
        if (out->oformat->flags & AVFMT_GLOBALHEADER)
            video.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        video.stream = avformat_new_stream(out, nullptr);
        ok = ok && avcodec_open2(video.codec, codec, nullptr) >= 0 &&
             avcodec_parameters_from_context(video.stream->codecpar, video.codec) >= 0;
        if (ok)
            video.stream->time_base = video.codec->time_base;
    }
    if (options.audio)
    {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        audio.codec = avcodec_alloc_context3(codec);
        audio.codec->sample_fmt = AV_SAMPLE_FMT_S16;
        audio.codec->sample_rate = ClipRate;
        av_channel_layout_default(&audio.codec->ch_layout, options.channels);
        audio.codec->time_base = AVRational{1, ClipRate};
        if (out->oformat->flags & AVFMT_GLOBALHEADER)
            audio.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        audio.stream = avformat_new_stream(out, nullptr);
        ok = ok && avcodec_open2(audio.codec, codec, nullptr) >= 0 &&
             avcodec_parameters_from_context(audio.stream->codecpar, audio.codec) >= 0;
        if (ok)
            audio.stream->time_base = audio.codec->time_base;
    }
    ok = ok && avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0;
    ok = ok && avformat_write_header(out, nullptr) >= 0;

    AVFrame* picture = av_frame_alloc();
    AVFrame* sound = av_frame_alloc();
    SwsContext* scaler = nullptr;
    std::vector<uint8_t> bgra(size_t(options.width) * options.height * 4);
    const int samplesPerFrame = ClipRate / 10;
    const int64_t audioShift = int64_t(options.audioShift * ClipRate + 0.5);
    // Not interleaved: a first pass writes the pictures, a second the sound.
    const int passes = options.interleave ? 1 : 2;
    for (int pass = 0; pass < passes; ++pass)
    {
        for (int i = 0; ok && i < options.frames; ++i)
        {
            const bool writeVideo = options.video && (options.interleave || pass == 0);
            const bool writeAudio = options.audio && (options.interleave || pass == 1);
            if (writeVideo)
            {
                ClipColour colour = ClipColourOf(i);
                for (size_t p = 0; p < bgra.size(); p += 4)
                {
                    bool black = (options.split && int(p / 4 % size_t(options.width)) >= options.width / 2) ||
                                 (options.splitRows && int(p / 4 / size_t(options.width)) >= options.height / 2);
                    bgra[p] = black ? 0 : colour.b;
                    bgra[p + 1] = black ? 0 : colour.g;
                    bgra[p + 2] = black ? 0 : colour.r;
                    bgra[p + 3] = 255;
                }
                picture->format = video.codec->pix_fmt;
                picture->width = options.width;
                picture->height = options.height;
                ok = av_frame_get_buffer(picture, 0) >= 0;
                scaler = sws_getCachedContext(scaler, options.width, options.height, AV_PIX_FMT_BGRA, options.width,
                                              options.height, video.codec->pix_fmt, SWS_POINT | SWS_ACCURATE_RND,
                                              nullptr, nullptr, nullptr);
                const uint8_t* source[1] = {bgra.data()};
                int pitch[1] = {options.width * 4};
                ok = ok && scaler &&
                     sws_scale(scaler, source, pitch, 0, options.height, picture->data, picture->linesize) > 0;
                picture->pts = i + (options.ptsGapAt >= 0 && i >= options.ptsGapAt ? options.ptsGap : 0);
                picture->quality = video.codec->global_quality;
                ok = ok && Drain(out, video, picture, options.interleave);
                av_frame_unref(picture);
            }
            if (writeAudio)
            {
                sound->format = AV_SAMPLE_FMT_S16;
                sound->sample_rate = ClipRate;
                av_channel_layout_default(&sound->ch_layout, options.channels);
                sound->nb_samples = samplesPerFrame;
                ok = ok && av_frame_get_buffer(sound, 0) >= 0;
                if (ok)
                {
                    int16_t* samples = reinterpret_cast<int16_t*>(sound->data[0]);
                    for (int s = 0; s < samplesPerFrame; ++s)
                        for (int c = 0; c < options.channels; ++c)
                            samples[options.channels * s + c] = c == 1 ? ClipRight : ClipLeft;
                }
                sound->pts = int64_t(i) * samplesPerFrame + audioShift;
                ok = ok && Drain(out, audio, sound, options.interleave);
                av_frame_unref(sound);
            }
        }
        // The pictures the encoder still holds belong to the pictures' pass.
        if (ok && options.video && (options.interleave ? pass == passes - 1 : pass == 0))
            ok = Drain(out, video, nullptr, options.interleave);
    }
    if (ok && options.audio)
        ok = Drain(out, audio, nullptr, options.interleave);
    if (ok)
        ok = av_write_trailer(out) >= 0;

    sws_freeContext(scaler);
    av_frame_free(&picture);
    av_frame_free(&sound);
    avcodec_free_context(&video.codec);
    avcodec_free_context(&audio.codec);
    if (out->pb)
        avio_closep(&out->pb);
    avformat_free_context(out);
    return ok;
}

#include "Platform/video/VideoDecoder.h"

#include <gtest/gtest.h>

extern "C"
{
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <vector>

// The decoder converts every picture with libswscale into a buffer of width x height pixels and
// ScalerSlack bytes more. Whatever the installed library writes past the picture must stay within them:
// pictures two pixels wide get two pixels more from many source formats, which overwrote the heap.
TEST(VideoDecoder, TheScalerWritesNothingPastTheSlack)
{
    const AVPixelFormat sources[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV422P, AV_PIX_FMT_YUV444P, AV_PIX_FMT_YUYV422,
                                     AV_PIX_FMT_NV12,    AV_PIX_FMT_RGB24,   AV_PIX_FMT_GRAY8,   AV_PIX_FMT_PAL8};
    constexpr uint8_t Canary = 0xA5;
    for (AVPixelFormat source : sources)
        for (int width = 1; width <= 34; ++width)
            for (int height : {1, 3, 4, 7})
            {
                SCOPED_TRACE(testing::Message() << source << " " << width << "x" << height);
                AVFrame* frame = av_frame_alloc();
                ASSERT_NE(frame, nullptr);
                frame->format = source;
                // The source half or twice as wide, as a stream that changes size mid-way is scaled.
                frame->width = width % 2 == 0 ? width * 2 : (width + 1) / 2;
                frame->height = height;
                ASSERT_GE(av_frame_get_buffer(frame, 0), 0);
                for (int plane = 0; plane < AV_NUM_DATA_POINTERS && frame->buf[plane]; ++plane)
                    std::memset(frame->buf[plane]->data, 0x80, frame->buf[plane]->size);
                SwsContext* scaler = sws_getContext(frame->width, frame->height, source, width, height, AV_PIX_FMT_BGRA,
                                                    SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
                ASSERT_NE(scaler, nullptr);
                const size_t picture = size_t(width) * size_t(height) * 4;
                // Room past the slack too, to see a write that reaches beyond it.
                std::vector<uint8_t> pixels(picture + VideoDecoder::ScalerSlack + 4096, Canary);
                uint8_t* planes[4] = {pixels.data(), nullptr, nullptr, nullptr};
                int pitches[4] = {width * 4, 0, 0, 0};
                EXPECT_EQ(sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, pitches), height);
                size_t reach = 0;
                for (size_t i = picture; i < pixels.size(); ++i)
                    if (pixels[i] != Canary)
                        reach = i - picture + 1;
                EXPECT_LE(reach, VideoDecoder::ScalerSlack);
                sws_freeContext(scaler);
                av_frame_free(&frame);
            }
}

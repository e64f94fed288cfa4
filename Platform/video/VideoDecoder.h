#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;

// The demuxer and decoders of one movie file: hands out its video frames as X8R8G8B8 pixels and its
// sound as interleaved 16-bit samples. Used by one thread at a time.
//
// Sound is read ahead of the pictures: before a frame of time t is handed out, the sound up to t plus
// the lead has been handed out (or all of it, when the track ends sooner), so that a sound queue fed
// from it never runs dry however the container interleaves its tracks. The pictures read past on the
// way are held as compressed packets and decoded in turn. The read-ahead is bounded (ReadAheadSeconds
// of pictures or ReadAheadBytes, whichever comes first): a badly interleaved or hostile file then plays
// in file order, with its sound as late as the file has it.
class VideoDecoder
{
public:
    enum class Result
    {
        Video,  // a frame is in VideoPixels / VideoTime
        Audio,  // a block of sound is in AudioSamples
        End,    // nothing more: the end of the file, or data that cannot be read on
    };

    VideoDecoder() = default;
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;
    ~VideoDecoder();

    // The container is probed from the file's contents, whatever its name ends in. Fails without a
    // decodable video stream. withAudio false leaves any sound track undecoded.
    bool Open(const std::string& path, bool withAudio);
    void Close();
    bool IsOpen() const { return m_Format != nullptr; }

    Result Next();
    // Back to the first frame; false when the file cannot be read from its start again.
    bool Rewind();

    // Seconds of sound to hand out ahead of each picture's time; negative counts as 0.
    void SetAudioLead(double seconds);

    // Bounds of the pictures held for the read-ahead.
    static constexpr double ReadAheadSeconds = 2.0;
    static constexpr size_t ReadAheadBytes = size_t(32) << 20;
    static constexpr size_t ReadAheadPackets = 4096;
    // Bytes kept after the picture's last row: libswscale writes whole blocks of pixels, so a picture two
    // pixels wide gets two more pixels written past its end.
    static constexpr size_t ScalerSlack = 256;

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    double Duration() const { return m_Duration; }
    bool HasAudio() const { return m_Audio != nullptr; }

    const uint8_t* VideoPixels() const { return m_Pixels.data(); }
    double VideoTime() const { return m_VideoTime; }
    // Seconds between frames at the stream's frame rate: how long the last frame stays up.
    double FrameStep() const { return m_FrameStep; }

    const int16_t* AudioSamples() const { return m_Samples.data(); }
    int AudioFrames() const { return m_AudioFrames; }
    int AudioChannels() const { return m_AudioChannels; }
    int AudioRate() const { return m_AudioRate; }

private:
    bool ConvertVideo();
    bool ConvertAudio();
    void Flush();
    // Reads one packet: a picture's is held, a sound's goes to its decoder; the end (or unreadable data)
    // ends the input.
    void ReadPacket();
    bool ReadAheadFull() const;
    void DropHeld();

    std::string m_Path;
    bool m_WithAudio = false;
    AVFormatContext* m_Format = nullptr;
    AVCodecContext* m_Video = nullptr;
    AVCodecContext* m_Audio = nullptr;
    int m_VideoStream = -1;
    int m_AudioStream = -1;
    AVFrame* m_Frame = nullptr;
    AVPacket* m_Packet = nullptr;
    SwsContext* m_Scaler = nullptr;
    SwrContext* m_Resampler = nullptr;
    bool m_InputDone = false;
    bool m_VideoDone = false;
    bool m_AudioDone = false;
    bool m_VideoFlushed = false;  // the video decoder was told that the input ended
    bool m_HaveFrame = false;     // a converted frame waits for its sound to be read ahead

    std::deque<AVPacket*> m_Held;  // pictures read ahead, in file order
    size_t m_HeldBytes = 0;
    double m_HeldNewest = 0.0;  // time of the newest held picture with a stamp
    double m_AudioLead = 0.5;
    double m_AudioTime = 0.0;  // seconds of sound handed out since the start

    int m_Width = 0;
    int m_Height = 0;
    double m_Duration = 0.0;
    double m_VideoTime = 0.0;
    double m_FrameStep = 0.0;
    std::vector<uint8_t> m_Pixels;

    std::vector<int16_t> m_Samples;
    int m_AudioFrames = 0;
    int m_AudioChannels = 0;
    int m_AudioRate = 0;
    int m_ResamplerInRate = 0;
    int m_ResamplerInFormat = -1;
    int m_ResamplerInChannels = 0;
};

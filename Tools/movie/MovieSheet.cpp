#include "Tools/movie/MovieSheet.h"

#include "Platform/video/VideoPlayer.h"
#include "Platform/video/VideoSink.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

namespace
{

constexpr int Columns = 3;
constexpr int Gap = 6;
constexpr int StripHeight = 64;
constexpr double LevelStep = 0.02;  // seconds of sound to one column of the level strip

// Keeps the chosen frames and the sound's level; runs on the decoder thread.
class Collector : public VideoSink
{
public:
    explicit Collector(std::vector<int> wanted) : m_Wanted(std::move(wanted)) {}

    void OnVideoFrame(const uint8_t* pixels, int width, int height, double time) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        if (std::find(m_Wanted.begin(), m_Wanted.end(), m_Frames) != m_Wanted.end())
        {
            m_Kept.emplace_back(pixels, pixels + size_t(width) * height * 4);
            m_Times.push_back(time);
        }
        ++m_Frames;
    }

    void OnAudio(const int16_t* samples, int frameCount, int channels, int sampleRate) override
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        const size_t step = std::max<size_t>(1, size_t(sampleRate * LevelStep));
        for (int i = 0; i < frameCount; ++i)
        {
            double sum = 0.0;
            for (int c = 0; c < channels; ++c)
            {
                double v = samples[i * channels + c] / 32768.0;
                sum += v * v;
            }
            size_t bin = size_t(m_SoundFrames / step);
            if (m_Power.size() <= bin)
                m_Power.resize(bin + 1, 0.0);
            m_Power[bin] += sum / channels / double(step);
            ++m_SoundFrames;
        }
        m_Rate = sampleRate;
    }

    std::mutex m_Lock;
    std::vector<int> m_Wanted;
    int m_Frames = 0;
    std::vector<std::vector<uint8_t>> m_Kept;
    std::vector<double> m_Times;
    std::vector<double> m_Power;
    long m_SoundFrames = 0;
    int m_Rate = 0;
};

void Put(std::vector<uint8_t>& sheet, int sheetWidth, int x, int y, uint8_t r, uint8_t g, uint8_t b)
{
    uint8_t* p = &sheet[(size_t(y) * sheetWidth + x) * 4];
    p[0] = b;
    p[1] = g;
    p[2] = r;
    p[3] = 255;
}

}  // namespace

bool MovieSheet::Load(const std::string& moviePath, int thumbnails)
{
    VideoPlayer player;
    if (!player.Open(moviePath, true))
        return false;
    m_Width = player.Width();
    m_Height = player.Height();
    m_HasSound = player.HasSound();

    // First a count of the frames, then a second run that keeps the chosen ones.
    std::vector<int> wanted;
    for (int pass = 0; pass < 2; ++pass)
    {
        Collector collector(wanted);
        player.SetSink(&collector);
        player.SetRealTime(false);
        if (pass == 1 && !player.Rewind())
            return false;
        if (!player.Run())
            return false;
        auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!player.TakeCompletion())
        {
            if (std::chrono::steady_clock::now() > limit)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        player.Stop();
        player.SetSink(nullptr);
        m_FramesDecoded = collector.m_Frames;
        m_SoundSeconds = collector.m_Rate > 0 ? double(collector.m_SoundFrames) / collector.m_Rate : 0.0;
        if (pass == 0)
        {
            const int count = std::max(1, std::min(thumbnails, m_FramesDecoded));
            for (int i = 0; i < count; ++i)
                wanted.push_back(count == 1 ? 0 : int(std::lround(double(i) * (m_FramesDecoded - 1) / (count - 1))));
            continue;
        }
        std::vector<float> levels;
        for (double power : collector.m_Power)
            levels.push_back(float(std::sqrt(power)));
        double seconds = std::max(player.Duration(), m_SoundSeconds);
        if (seconds <= 0.0 && !collector.m_Times.empty())
            seconds = collector.m_Times.back();
        Compose(collector.m_Kept, collector.m_Times, levels, seconds);
    }
    return m_FramesDecoded > 0;
}

void MovieSheet::Compose(const std::vector<std::vector<uint8_t>>& frames, const std::vector<double>& times,
                         const std::vector<float>& levels, double seconds)
{
    // Thumbnails at half size.
    const int tw = m_Width / 2;
    const int th = m_Height / 2;
    const int columns = std::min<int>(Columns, int(frames.size()));
    const int rows = (int(frames.size()) + columns - 1) / std::max(columns, 1);
    m_SheetWidth = Gap + columns * (tw + Gap);
    m_SheetHeight = Gap + rows * (th + Gap) + (m_HasSound ? StripHeight + Gap : 0);
    m_Sheet.assign(size_t(m_SheetWidth) * m_SheetHeight * 4, 0);
    for (int y = 0; y < m_SheetHeight; ++y)
        for (int x = 0; x < m_SheetWidth; ++x)
            Put(m_Sheet, m_SheetWidth, x, y, 0x2A, 0x31, 0x40);

    for (size_t f = 0; f < frames.size(); ++f)
    {
        const int left = Gap + int(f % size_t(columns)) * (tw + Gap);
        const int top = Gap + int(f / size_t(columns)) * (th + Gap);
        const uint8_t* source = frames[f].data();
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x)
            {
                int sum[3] = {0, 0, 0};
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                    {
                        const uint8_t* p = source + ((size_t(y) * 2 + dy) * m_Width + size_t(x) * 2 + dx) * 4;
                        for (int k = 0; k < 3; ++k)
                            sum[k] += p[k];
                    }
                Put(m_Sheet, m_SheetWidth, left + x, top + y, uint8_t(sum[2] / 4), uint8_t(sum[1] / 4),
                    uint8_t(sum[0] / 4));
            }
    }

    if (!m_HasSound)
        return;
    const int top = Gap + rows * (th + Gap);
    const int width = m_SheetWidth - 2 * Gap;
    float loudest = 1e-6f;
    for (float level : levels)
        loudest = std::max(loudest, level);
    for (int x = 0; x < width; ++x)
    {
        const double at = seconds * x / width;
        const size_t bin = size_t(at / LevelStep);
        const float level = bin < levels.size() ? levels[bin] / loudest : 0.0f;
        const int bar = int(level * (StripHeight - 2));
        for (int y = 0; y < StripHeight; ++y)
        {
            bool lit = StripHeight - 1 - y < bar;
            Put(m_Sheet, m_SheetWidth, Gap + x, top + y, lit ? 0x35 : 0x0B, lit ? 0xE0 : 0x10, lit ? 0xFF : 0x20);
        }
    }
    for (double time : times)
    {
        const int x = seconds > 0.0 ? int(time / seconds * width) : 0;
        for (int y = 0; y < StripHeight; ++y)
            Put(m_Sheet, m_SheetWidth, Gap + std::clamp(x, 0, width - 1), top + y, 0xFF, 0xB0, 0x20);
    }
}

bool MovieSheet::WritePng(const std::string& path) const
{
    if (m_Sheet.empty())
        return false;
    std::vector<uint8_t> rgb(size_t(m_SheetWidth) * m_SheetHeight * 3);
    for (size_t i = 0, j = 0; i < m_Sheet.size(); i += 4, j += 3)
    {
        rgb[j] = m_Sheet[i + 2];
        rgb[j + 1] = m_Sheet[i + 1];
        rgb[j + 2] = m_Sheet[i];
    }
    return stbi_write_png(path.c_str(), m_SheetWidth, m_SheetHeight, 3, rgb.data(), m_SheetWidth * 3) != 0;
}

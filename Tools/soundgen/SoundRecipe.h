#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A sound described in text (grammar in README.md) and its synthesis into 16-bit PCM. Everything
// is seeded from the recipe, so the same text gives the same samples.
class SoundRecipe
{
public:
    // False with "line N: reason" in GetError.
    bool Parse(const std::string& text);
    // Interleaved 16-bit PCM, normalised to the recipe's level.
    std::vector<int16_t> Render() const;

    const std::string& GetError() const { return m_Error; }
    int32_t GetChannels() const { return m_Channels; }
    int32_t GetRate() const { return m_Rate; }
    bool IsLoop() const { return m_Loop; }

    struct Layer
    {
        std::string wave = "sine";
        double freq = 440.0;
        double to = -1.0;  // end frequency of a glide; -1: none
        double amp = 1.0;
        double start = 0.0;
        double dur = -1.0;  // -1: to the end
        double attack = 0.005;
        double release = 0.01;
        double pan = 0.0;
        double cutoff = 0.0;  // one-pole low-pass; 0: open
        double cutoffTo = -1.0;
        int32_t voices = 1;
        double detune = 0.0;  // cents between the outer voices
    };

private:
    bool Fail(int32_t line, const std::string& reason);
    bool ParseLayerKey(Layer& layer, const std::string& key, const std::string& value, int32_t line);

    int32_t m_Channels = 0;
    int32_t m_Rate = 0;
    double m_Length = 0.0;
    bool m_Loop = false;
    double m_Level = -18.0;
    uint32_t m_Seed = 1;
    double m_Bpm = 120.0;
    std::vector<Layer> m_Layers;
    std::string m_Error;
};

// wesoundgen <recipe.sound> <out.ogg> [--preview <out.wav>]
// Synthesises the recipe, encodes it as Ogg Vorbis and prints its levels; a bad recipe stops with
// "<file>:<line>: <reason>".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tools/oggwriter/WeOggWriter.h"
#include "Tools/soundgen/SoundRecipe.h"

namespace
{
void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::vector<uint8_t> Wav(const std::vector<int16_t>& pcm, int32_t channels, int32_t rate)
{
    std::vector<uint8_t> out;
    const uint32_t data = static_cast<uint32_t>(pcm.size() * 2);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + data);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * channels * 2));
    Put16(out, static_cast<uint32_t>(channels * 2));
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, data);
    for (int16_t s : pcm)
        Put16(out, static_cast<uint16_t>(s));
    return out;
}

double Db(double v)
{
    return v > 0.0 ? 20.0 * std::log10(v) : -120.0;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--preview") == 0))
    {
        std::fprintf(stderr, "usage: wesoundgen <recipe.sound> <out.ogg> [--preview <out.wav>]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "%s: cannot read the recipe\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SoundRecipe recipe;
    if (!recipe.Parse(text))
    {
        // "file:line: reason", as compilers write it.
        std::string error = recipe.GetError();
        if (error.rfind("line ", 0) == 0)
            error = error.substr(5);
        std::fprintf(stderr, "%s:%s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<int16_t> pcm = recipe.Render();
    std::vector<uint8_t> ogg;
    if (!WeOggWriter::Encode(pcm, recipe.GetChannels(), recipe.GetRate(), 0.4f, ogg) || !WriteFile(argv[2], ogg))
    {
        std::fprintf(stderr, "%s: cannot encode or write %s\n", argv[1], argv[2]);
        return 1;
    }
    if (argc == 5 && !WriteFile(argv[4], Wav(pcm, recipe.GetChannels(), recipe.GetRate())))
    {
        std::fprintf(stderr, "%s: cannot write the preview %s\n", argv[1], argv[4]);
        return 1;
    }
    double peak = 0.0, sum = 0.0;
    for (int16_t s : pcm)
    {
        const double v = s / 32768.0;
        peak = std::max(peak, std::fabs(v));
        sum += v * v;
    }
    const double seconds = static_cast<double>(pcm.size()) / recipe.GetChannels() / recipe.GetRate();
    std::printf("%s: %d ch, %d Hz, %.3f s%s, peak %.1f dB, rms %.1f dB, %zu bytes\n", argv[2], recipe.GetChannels(),
                recipe.GetRate(), seconds, recipe.IsLoop() ? " (loop)" : "", Db(peak),
                Db(pcm.empty() ? 0.0 : std::sqrt(sum / pcm.size())), ogg.size());
    return 0;
}

// wemovie [--preview SHEET.png] DESCRIPTION OUT.seq
// Draws the frames and synthesises the sound a description asks for, encodes them into OUT.seq, plays
// the file back through the video layer to check it and, when asked, writes a contact sheet of it.
#include "Platform/video/VideoWriter.h"
#include "Tools/movie/MoviePainter.h"
#include "Tools/movie/MovieScene.h"
#include "Tools/movie/MovieScript.h"
#include "Tools/movie/MovieSheet.h"
#include "Tools/movie/MovieSynth.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

constexpr int Thumbnails = 9;

int Usage()
{
    std::fprintf(stderr, "usage: wemovie [--preview SHEET.png] [--footage DIR] DESCRIPTION OUT.seq\n");
    return 2;
}

bool Encode(const MovieScript& script, const std::string& path, std::string& error)
{
    VideoWriter::Settings settings;
    settings.width = script.width;
    settings.height = script.height;
    settings.frameRate = script.rate;
    settings.videoBitRate = script.videoBitRate;
    settings.keyInterval = script.rate * 2;
    settings.sampleRate = script.sampleRate;
    settings.channels = 2;
    VideoWriter writer;
    if (!writer.Open(path, settings))
    {
        error = writer.Error();
        return false;
    }
    const std::vector<float> sound = MovieSynth::Render(script);
    const size_t soundFrames = sound.size() / 2;
    size_t soundWritten = 0;
    MovieScene scene(script);
    MoviePainter painter(script.width, script.height);
    std::vector<uint8_t> pixels(size_t(script.width) * script.height * 4);
    const int frames = script.FrameCount();
    for (int i = 0; i < frames; ++i)
    {
        const double time = double(i) / script.rate;
        scene.Draw(time, painter);
        painter.Finish(float(scene.Brightness(time)), pixels.data());
        if (!writer.WriteFrame(pixels.data()))
        {
            error = writer.Error();
            return false;
        }
        // The sound that plays while this frame is up goes in beside it.
        const size_t until =
            i + 1 == frames
                ? soundFrames
                : std::min(soundFrames, size_t(std::llround(double(i + 1) / script.rate * script.sampleRate)));
        if (until > soundWritten)
        {
            if (!writer.WriteSound(sound.data() + soundWritten * 2, int(until - soundWritten)))
            {
                error = writer.Error();
                return false;
            }
            soundWritten = until;
        }
    }
    if (!writer.Close())
    {
        error = writer.Error();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string preview;
    std::string footage;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (arg == "--preview" && i + 1 < argc)
            preview = argv[++i];
        else if (arg == "--footage" && i + 1 < argc)
            footage = argv[++i];
        else if (!arg.empty() && arg[0] == '-')
            return Usage();
        else
            names.push_back(arg);
    }
    if (names.size() != 2)
        return Usage();
    const std::string& source = names[0];
    const std::string& out = names[1];

    std::ifstream in(source, std::ios::binary);
    if (!in)
    {
        std::fprintf(stderr, "%s: cannot read\n", source.c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    MovieScript script;
    std::string error;
    if (!script.Parse(text.str(), source, error))
    {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    script.footageDir = footage;
    // Footage that is not there would make a movie of nothing.
    for (const MovieLayer& layer : script.layers)
    {
        if (layer.kind != MovieLayerKind::Footage)
            continue;
        const std::string folder = layer.text.empty() ? footage : layer.text;
        std::ifstream first(folder + "/frame-00000.png", std::ios::binary);
        if (folder.empty() || !first)
        {
            std::fprintf(stderr, "%s:%d: no footage frames in \"%s\"\n", source.c_str(), layer.line, folder.c_str());
            return 1;
        }
    }

    // Written beside the target and renamed over it, so a failed run never leaves half a movie.
    const std::string partial = out + ".part";
    if (!Encode(script, partial, error))
    {
        std::remove(partial.c_str());
        std::fprintf(stderr, "%s: %s\n", out.c_str(), error.c_str());
        return 1;
    }
    MovieSheet sheet;
    if (!sheet.Load(partial, Thumbnails) || sheet.FramesDecoded() != script.FrameCount() ||
        sheet.Width() != script.width || sheet.Height() != script.height || sheet.HasSound() != (script.sampleRate > 0))
    {
        std::remove(partial.c_str());
        std::fprintf(stderr, "%s: the written movie does not play back as described (%d of %d frames)\n", out.c_str(),
                     sheet.FramesDecoded(), script.FrameCount());
        return 1;
    }
    if (std::rename(partial.c_str(), out.c_str()) != 0)
    {
        std::remove(partial.c_str());
        std::fprintf(stderr, "%s: cannot write\n", out.c_str());
        return 1;
    }
    if (!preview.empty() && !sheet.WritePng(preview))
    {
        std::fprintf(stderr, "%s: cannot write\n", preview.c_str());
        return 1;
    }
    std::ifstream written(out, std::ios::binary | std::ios::ate);
    std::printf("wemovie: %s %dx%d, %d frames at %d/s, sound %.2f s, %lld bytes\n", out.c_str(), script.width,
                script.height, sheet.FramesDecoded(), script.rate, sheet.SoundSeconds(),
                static_cast<long long>(written.tellg()));
    return 0;
}

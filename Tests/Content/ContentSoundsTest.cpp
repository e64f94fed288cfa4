// Every sound of the packed content decodes as mono or stereo Ogg Vorbis with samples, the names the
// engine and the menus ask for are there, and the menu music is long enough to stream.
#include <gtest/gtest.h>

#include <vector>

#include "Engine/foundation/WeConfig.h"
#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/foundation/WeVirtualFileSystem.h"
#include "Engine/runtime/WeOggReader.h"

namespace
{
constexpr int32_t OggType = 16;

bool ReadMember(WeDataFile& pack, const WeString& name, std::vector<uint8_t>& out)
{
    if (!pack.Open(name, OggType))
        return false;
    out.resize(static_cast<size_t>(pack.GetSize()));
    const bool ok = pack.GetStream()->Read(out.data(), pack.GetSize()) == pack.GetSize();
    pack.Close();
    return ok;
}
}  // namespace

TEST(ContentSounds, EveryPackedSoundDecodes)
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded()) << "no Packages.dat beside the tests";
    WeStringList folders, files;
    int32_t checked = 0;
    pack->ListFolders(folders, WeString("Sounds"), OggType);
    for (const WeString& folder : folders)
    {
        pack->ListFiles(files, WeString("Sounds"), folder, OggType);
        for (const WeString& file : files)
        {
            const WeString name = WeString("Sounds.") + folder + "." + file;
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadMember(*pack, name, bytes)) << name.c_str();
            WeOggReader reader;
            ASSERT_TRUE(reader.Open(bytes.data(), static_cast<int32_t>(bytes.size()))) << name.c_str();
            EXPECT_GT(reader.GetTotalSamples(), 0) << name.c_str();
            std::vector<uint8_t> area;
            int32_t produced = 0;
            EXPECT_TRUE(reader.DecodeAll(area, produced));
            EXPECT_EQ(produced, reader.GetTotalSamples() * reader.GetChannels() * 2) << name.c_str();
            ++checked;
        }
    }
    EXPECT_GE(checked, 7);
}

TEST(ContentSounds, TheNamedSoundsAreThere)
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded());
    for (const char* name : {"Sounds.Menu.Click1", "Sounds.Menu.Click2", "Sounds.Menu.Denied", "Sounds.Menu.KeyPress",
                             "Sounds.Menu.VolumeTest", "Sounds.Tuber.Engine", "Sounds.Music.IG_Menu Theme"})
        EXPECT_TRUE(pack->Exists(WeString(name), OggType)) << name;

    // Streamed music must outlast the sixteen 16 KB buffers of its stream, and is stereo.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadMember(*pack, WeString("Sounds.Music.IG_Menu Theme"), bytes));
    WeOggReader reader;
    ASSERT_TRUE(reader.Open(bytes.data(), static_cast<int32_t>(bytes.size())));
    EXPECT_EQ(reader.GetChannels(), 2);
    EXPECT_EQ(reader.GetRate(), 44100);
    EXPECT_GT(reader.GetTotalSamples() * reader.GetChannels() * 2, 16 * 16384);
}

TEST(ContentSounds, EveryBalanceNamesAPackedSound)
{
    WeDataFile* pack = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(pack->EnsureLoaded());
    WeStringList keys;
    ListConfigKeys(WeString("Sounds.Balance."), keys);
    int32_t checked = 0;
    for (const WeString& key : keys)
    {
        const WeString name = key.GetTokenTail('.', 2);
        EXPECT_TRUE(pack->Exists(name, OggType)) << key.c_str();
        const float balance = GetConfigFloat(key, -1.0f);
        EXPECT_GT(balance, 0.0f) << key.c_str();
        EXPECT_LE(balance, 1.0f) << key.c_str();
        ++checked;
    }
    EXPECT_GE(checked, 1);
}

// Profile records of every version this game wrote, the profile file, and the store's keys.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Engine/foundation/WeFileStream.h"
#include "Game/screens/CProfile.h"
#include "Game/screens/CProfileManager.h"
#include "Game/shell/CInputBindings.h"
#include "Tests/Game/screens/ProfileFileBytes.h"
#include "Tests/support/ScratchFolder.h"

namespace
{
// Reads one record from bytes through a file, as the store does.
struct RecordRead
{
    bool whole = false;
    int64_t consumed = 0;
};
RecordRead ReadRecord(const ScratchFolder& scratch, const std::string& bytes, CProfile& profile)
{
    scratch.Write("record.bin", bytes);
    WeFileStream stream;
    EXPECT_TRUE(stream.Open(scratch.Path("record.bin").c_str()));
    RecordRead result;
    result.whole = profile.Load(stream);
    result.consumed = stream.Tell();
    stream.Close();
    return result;
}

std::string Saved(const ScratchFolder& scratch, const CProfile& profile)
{
    WeFileStream stream;
    EXPECT_TRUE(stream.Create(scratch.Path("saved.bin").c_str()));
    EXPECT_TRUE(profile.Save(stream));
    stream.Close();
    return ScratchFolder::Read(scratch.Path("saved.bin"));
}

std::string SavedStore(const ScratchFolder& scratch, const CProfileManager& store)
{
    WeFileStream stream;
    EXPECT_TRUE(stream.Create(scratch.Path("store.bin").c_str()));
    EXPECT_TRUE(store.Write(stream));
    stream.Close();
    return ScratchFolder::Read(scratch.Path("store.bin"));
}

bool ReadStore(const ScratchFolder& scratch, const std::string& bytes, CProfileManager& store)
{
    scratch.Write("file.bin", bytes);
    WeFileStream stream;
    EXPECT_TRUE(stream.Open(scratch.Path("file.bin").c_str()));
    const bool whole = store.Read(stream);
    stream.Close();
    return whole;
}
}  // namespace

// What each record version carries: a table of the versions this game wrote, each read from bytes laid out
// as that version's writer did.
TEST(CProfileRecord, EachVersionYieldsTheFieldsItCarries)
{
    struct Case
    {
        int32_t version;
        bool named, maps, slots, sixSlots, difficulty;
    };
    const Case cases[] = {
        {9, false, false, false, false, false}, {10, true, false, false, false, false},
        {11, true, false, false, false, false}, {12, true, false, false, false, false},
        {14, true, true, false, false, false},  {15, true, true, true, true, false},
        {16, true, true, true, true, true},     {19, true, true, true, true, true},
        {20, true, true, true, false, true},    {21, true, true, true, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("record version " + std::to_string(c.version));
        ScratchFolder scratch;
        ProfileBytes bytes;
        bytes.Record(c.version, "Ada");
        CProfile profile;
        const RecordRead read = ReadRecord(scratch, bytes.bytes, profile);
        EXPECT_TRUE(read.whole);
        EXPECT_EQ(read.consumed, static_cast<int64_t>(bytes.bytes.size()));

        EXPECT_STREQ(profile.m_Name.c_str(), c.named ? "Ada" : "Player");
        EXPECT_EQ(profile.m_Bindings->entries[0].code, c.named ? 99 : 17);
        EXPECT_STREQ(profile.m_LastMap.c_str(), c.maps ? "Map" : "");
        EXPECT_STREQ(profile.m_LastCraft.c_str(), c.maps ? "Craft" : "");
        // Slot 0 is read only from the six-slot versions.
        EXPECT_STREQ(profile.m_RaceSlots[0].craft.c_str(), c.sixSlots ? "C0" : "");
        for (int32_t i = 1; i < 6; ++i)
        {
            EXPECT_STREQ(profile.m_RaceSlots[i].craft.c_str(), c.slots ? ("C" + std::to_string(i)).c_str() : "");
            EXPECT_EQ(profile.m_RaceSlots[i].startPlace, c.slots ? i + 1 : 0);
            EXPECT_EQ(profile.m_RaceSlots[i].kind, c.slots ? 1 + i % 3 : 0);
            EXPECT_EQ(profile.m_RandomOpponents[i], c.difficulty ? 1 : 0);
        }
        EXPECT_EQ(profile.m_RandomOpponents[0], c.difficulty && c.sixSlots ? 1 : 0);
        EXPECT_EQ(profile.m_Weapons, c.slots ? 0 : 1);
        EXPECT_EQ(profile.m_Reserved, c.slots ? 0 : 1);
        EXPECT_EQ(profile.m_LapCount, c.slots ? 7 : 3);
        EXPECT_EQ(profile.m_RaceType, c.slots ? 2 : 0);
        EXPECT_EQ(profile.m_Dynamics, c.slots ? 0 : 1);
        EXPECT_EQ(profile.m_UnlimitedTurbo, c.slots ? 1 : 0);
        EXPECT_EQ(profile.m_Difficulty, c.difficulty ? 3 : 1);
    }
}

TEST(CProfileRecord, SavedRecordIsVersion21AndReadsBackWhole)
{
    ScratchFolder scratch;
    CProfile profile;
    EXPECT_EQ(Saved(scratch, profile).size(), 178u);

    profile.m_Name = "Zed";
    profile.m_LastMap = "Fusion Sphere (night)";
    profile.m_LastCraft = "Xdrone";
    profile.m_Bindings->entries[3].code = 77;
    for (int32_t i = 0; i < 6; ++i)
        profile.m_RaceSlots[i] = {i % 4, ("K" + std::to_string(i)).c_str(), 6 - i};
    profile.m_RaceSlots[0].craft = "never stored";
    profile.m_Weapons = 0;
    profile.m_Reserved = 0;
    profile.m_LapCount = 10;
    profile.m_RaceType = 1;
    profile.m_Dynamics = 0;
    profile.m_UnlimitedTurbo = 1;
    profile.m_Difficulty = 2;
    profile.m_RandomOpponents[2] = 1;
    const std::string bytes = Saved(scratch, profile);
    int32_t version = 0;
    std::memcpy(&version, bytes.data(), 4);
    EXPECT_EQ(version, 21);

    CProfile back;
    EXPECT_TRUE(ReadRecord(scratch, bytes, back).whole);
    EXPECT_STREQ(back.m_Name.c_str(), "Zed");
    EXPECT_STREQ(back.m_LastMap.c_str(), "Fusion Sphere (night)");
    EXPECT_STREQ(back.m_LastCraft.c_str(), "Xdrone");
    EXPECT_EQ(back.m_Bindings->entries[3].code, 77);
    EXPECT_STREQ(back.m_RaceSlots[0].craft.c_str(), "");
    for (int32_t i = 1; i < 6; ++i)
    {
        EXPECT_EQ(back.m_RaceSlots[i].kind, i % 4);
        EXPECT_STREQ(back.m_RaceSlots[i].craft.c_str(), ("K" + std::to_string(i)).c_str());
        EXPECT_EQ(back.m_RaceSlots[i].startPlace, 6 - i);
    }
    EXPECT_EQ(back.m_Weapons, 0);
    EXPECT_EQ(back.m_Reserved, 0);
    EXPECT_EQ(back.m_LapCount, 10);
    EXPECT_EQ(back.m_RaceType, 1);
    EXPECT_EQ(back.m_Dynamics, 0);
    EXPECT_EQ(back.m_UnlimitedTurbo, 1);
    EXPECT_EQ(back.m_Difficulty, 2);
    EXPECT_EQ(back.m_RandomOpponents[2], 1);
    EXPECT_EQ(back.m_RandomOpponents[1], 0);
}

// A name carrying the text markup's control bytes loses them; a name of nothing but them is "Player".
TEST(CProfileRecord, ControlBytesAreStrippedFromLoadedNames)
{
    ScratchFolder scratch;
    ProfileBytes bytes;
    bytes.Record(21, std::string("A\x01"
                                 "FF00FF00"
                                 "da\x02\n",
                                 14));
    CProfile profile;
    ReadRecord(scratch, bytes.bytes, profile);
    EXPECT_STREQ(profile.m_Name.c_str(), "AFF00FF00da");

    ProfileBytes control;
    control.Record(21, std::string("\x01\x02\t", 3));
    CProfile empty;
    ReadRecord(scratch, control.bytes, empty);
    EXPECT_STREQ(empty.m_Name.c_str(), "Player");
}

TEST(CProfileManager, FileSizesOfAnEmptyStoreAndOfOneDefaultProfile)
{
    ScratchFolder scratch;
    CProfileManager store;
    const std::string empty = SavedStore(scratch, store);
    ASSERT_EQ(empty.size(), 90u);
    // The version, the twenty ints, a count of 0 and an empty current name.
    int32_t head[22];
    std::memcpy(head, empty.data(), sizeof(head));
    EXPECT_EQ(head[0], 13);
    EXPECT_EQ(head[21], 0);
    EXPECT_EQ(empty.substr(88), std::string(2, '\0'));

    CProfile* player = new CProfile();
    store.GetProfiles().PushBack(player);
    store.SetCurrent(player);
    EXPECT_EQ(SavedStore(scratch, store).size(), 275u);
}

TEST(CProfileManager, ListVersion12AndOlderGiveAnEmptyStore)
{
    ScratchFolder scratch;
    for (int32_t listVersion : {12, 0, -5})
    {
        ProfileBytes bytes;
        bytes.Head(1, listVersion).Record(21, "Ada").Str("Ada");
        CProfileManager store;
        EXPECT_TRUE(ReadStore(scratch, bytes.bytes, store));
        EXPECT_EQ(store.Count(), 0);
        EXPECT_EQ(store.GetCurrent(), nullptr);
    }
}

TEST(CProfileManager, ReadsRecordsOfMixedVersionsAndSelectsTheCurrentOne)
{
    ScratchFolder scratch;
    ProfileBytes bytes;
    bytes.Head(3).Record(14, "Old").Record(19, "Middle").Record(21, "New").Str("Middle");
    CProfileManager store;
    EXPECT_TRUE(ReadStore(scratch, bytes.bytes, store));
    ASSERT_EQ(store.Count(), 3);
    EXPECT_STREQ(store.GetProfiles().Front()->m_Name.c_str(), "Old");
    ASSERT_NE(store.GetCurrent(), nullptr);
    EXPECT_STREQ(store.GetCurrent()->m_Name.c_str(), "Middle");

    // Written back and read again: the same store.
    const std::string again = SavedStore(scratch, store);
    CProfileManager copy;
    EXPECT_TRUE(ReadStore(scratch, again, copy));
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_STREQ(copy.GetCurrent()->m_Name.c_str(), "Middle");
    EXPECT_EQ(SavedStore(scratch, copy), again);
}

TEST(CProfileManager, AStoredCurrentNameThatMatchesNoProfileLeavesNone)
{
    ScratchFolder scratch;
    ProfileBytes bytes;
    bytes.Head(1).Record(21, "Ada").Str("ada");
    CProfileManager store;
    EXPECT_TRUE(ReadStore(scratch, bytes.bytes, store));
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(store.GetCurrent(), nullptr);
}

// Damaged files keep every profile read whole before the damage, and the current name only when the list
// was read whole.
TEST(CProfileManager, DamagedFilesKeepTheWholeProfilesBeforeTheDamage)
{
    ProfileBytes good;
    good.Head(2).Record(21, "Ada").Record(21, "Bob").Str("Ada");
    const std::string whole = good.bytes;
    ProfileBytes first;
    first.Head(2).Record(21, "Ada");
    const size_t firstEnd = first.bytes.size();

    struct Case
    {
        const char* what;
        std::string bytes;
        int32_t kept;
    };
    ProfileBytes hugeCount;
    hugeCount.Head(0x7FFFFFFF).Record(21, "Ada").Record(21, "Bob");
    ProfileBytes negative;
    negative.Head(-3).Record(21, "Ada");
    const Case cases[] = {
        {"cut inside the second record", whole.substr(0, firstEnd + 40), 1},
        {"cut inside the first record's name", whole.substr(0, 88 + 6), 0},
        {"cut inside the current name", whole.substr(0, whole.size() - 2), 2},
        {"a huge count", hugeCount.bytes, 2},
        {"a negative count", negative.bytes, 0},
        {"cut inside the head", whole.substr(0, 30), 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        CProfileManager store;
        EXPECT_FALSE(ReadStore(scratch, c.bytes, store));
        EXPECT_EQ(store.Count(), c.kept);
        EXPECT_EQ(store.GetCurrent(), nullptr);
        if (c.kept >= 1)
        {
            EXPECT_STREQ(store.GetProfiles().Front()->m_Name.c_str(), "Ada");
        }
    }
}

TEST(CProfileManager, NamesAreCaseSensitiveAndUnique)
{
    ScratchFolder scratch;
    ProfileBytes bytes;
    // A name met twice keeps its first profile.
    bytes.Head(3).Record(21, "Ada", "first").Record(21, "ada").Record(21, "Ada", "second").Str("Ada");
    CProfileManager store;
    EXPECT_FALSE(ReadStore(scratch, bytes.bytes, store));
    ASSERT_EQ(store.Count(), 2);
    ASSERT_NE(store.Find("Ada"), nullptr);
    EXPECT_STREQ(store.Find("Ada")->m_LastMap.c_str(), "first");
    EXPECT_NE(store.Find("ada"), nullptr);
    EXPECT_NE(store.Find("ada"), store.Find("Ada"));
    EXPECT_EQ(store.Find("ADA"), nullptr);
    EXPECT_EQ(store.GetCurrent(), store.Find("Ada"));
}

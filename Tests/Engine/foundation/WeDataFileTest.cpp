#include "Engine/foundation/WeDataFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WePackageFile.h"
#include "Engine/foundation/WePackageScrambler.h"
#include "Engine/foundation/WePackageTypes.h"
#include "Engine/foundation/WePackageWriter.h"
#include "FileTestSupport.h"

namespace
{
// Plain archive bytes, built field by field and scrambled as a whole when written.
struct ArchiveBytes
{
    Bytes bytes;
    ArchiveBytes& I32(int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    ArchiveBytes& I64(int64_t v)
    {
        for (int i = 0; i < 8; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
        return *this;
    }
    ArchiveBytes& Str(const std::string& s)
    {
        bytes.push_back(static_cast<uint8_t>(s.size()));
        bytes.push_back(static_cast<uint8_t>(s.size() >> 8));
        if (!s.empty())
        {
            bytes.insert(bytes.end(), s.begin(), s.end());
            bytes.push_back(0);
        }
        return *this;
    }
    ArchiveBytes& Raw(const std::string& s)
    {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ArchiveBytes& File(const std::string& name, int32_t type, int64_t offset, int32_t size)
    {
        return Str(name).I32(type).I64(offset).I32(size);
    }
    void WriteTo(const std::string& path, size_t cut = SIZE_MAX) const
    {
        Bytes stored = bytes;
        WePackageScrambler::Scramble(stored.data(), static_cast<int64_t>(stored.size()), 0);
        if (cut < stored.size())
            stored.resize(cut);
        WriteFileBytes(path, stored);
    }
};

std::vector<std::string> Sorted(const WeStringList& list)
{
    std::vector<std::string> names;
    for (const WeString& name : list)
        names.push_back(name.c_str());
    std::sort(names.begin(), names.end());
    return names;
}

Bytes ReadMember(WeVirtualFileSystem& fs, const char* name, int32_t type)
{
    if (!fs.Open(WeString(name), type))
        return Bytes{0xEE};
    Bytes bytes(static_cast<size_t>(fs.GetSize()));
    if (!bytes.empty())
        fs.GetStream()->Read(bytes.data(), static_cast<int64_t>(bytes.size()));
    fs.Close();
    return bytes;
}

// An archive of two members ("AAAA" as Pkg.Dir.a.ini, "BB" as Pkg.Dir.b.txt) whose index follows them.
ArchiveBytes SoundArchive()
{
    ArchiveBytes a;
    a.I32(1).I64(18).Raw("AAAABB");
    a.I32(1).Str("Pkg").I32(1).Str("Dir").I32(2).File("a", 11, 12, 4).File("b", 13, 16, 2);
    return a;
}
}  // namespace

TEST(WeDataFile, EmptyArchiveIsTheSixteenKnownBytes)
{
    ScratchFolder folder;
    std::filesystem::create_directories(folder.Path("Packages"));
    WePackageWriter writer;
    ASSERT_TRUE(writer.Pack(WePath(folder, "Packages"), WePath(folder, "Packages.dat"))) << writer.GetError().c_str();
    EXPECT_EQ(ReadFileBytes(folder.Path("Packages.dat")),
              (Bytes{0xb2, 0x29, 0x78, 0xed, 0x35, 0xaa, 0x7a, 0x0f, 0x21, 0x46, 0x1b, 0xee, 0xa5, 0xef, 0x13, 0xd9}));
    WeDataFile archive;
    archive.SetPath(WePath(folder, "Packages.dat"));
    WeStringList packages;
    EXPECT_TRUE(archive.ListPackages(packages));
    EXPECT_EQ(Sorted(packages).size(), 0u);
    EXPECT_TRUE(archive.IsLoaded());
    EXPECT_EQ(archive.GetVersion(), 1);
}

// Whatever the index says, loading never crashes, hangs or allocates without bound; it keeps what
// was sound up to the first fault and drops members it cannot serve. A count larger than the rest
// of the file could hold is cut to what fits, and the index ends after those records.
TEST(WeDataFile, BrokenArchivesLoadAsFarAsTheyAreSound)
{
    const std::string huge(300, 'n');
    struct Case
    {
        const char* what;
        ArchiveBytes archive;
        size_t cut;
        std::vector<std::string> packages;
        std::vector<std::string> present;  // dotted names found as types 11 (a) and 13 (b)
    };
    auto sound = SoundArchive();
    std::vector<Case> cases;
    cases.push_back({"sound", sound, SIZE_MAX, {"Pkg"}, {"a", "b"}});
    cases.push_back({"version 0", ArchiveBytes().I32(0).I64(12).I32(1).Str("Pkg").I32(0), SIZE_MAX, {}, {}});
    cases.push_back({"negative version", ArchiveBytes().I32(-5).I64(12).I32(0), SIZE_MAX, {}, {}});
    cases.push_back({"empty file", ArchiveBytes(), SIZE_MAX, {}, {}});
    cases.push_back({"header cut", sound, 7, {}, {}});
    cases.push_back({"index cut in the second file record", sound, sound.bytes.size() - 3, {"Pkg"}, {"a"}});
    cases.push_back({"index cut in a folder name", sound, 18 + 4 + 6 + 4 + 3, {"Pkg"}, {}});
    cases.push_back({"index offset past the end", ArchiveBytes().I32(1).I64(1000).I32(0), SIZE_MAX, {}, {}});
    cases.push_back({"index offset inside the header", ArchiveBytes().I32(1).I64(4).I32(0), SIZE_MAX, {}, {}});
    cases.push_back({"negative index offset", ArchiveBytes().I32(1).I64(-8).I32(0), SIZE_MAX, {}, {}});
    cases.push_back({"package count 0x7FFFFFFF",
                     ArchiveBytes().I32(1).I64(12).I32(0x7FFFFFFF).Str("P").I32(0),
                     SIZE_MAX,
                     {"P"},
                     {}});
    cases.push_back({"folder count 0x7FFFFFFF",
                     ArchiveBytes().I32(1).I64(12).I32(1).Str("Pkg").I32(0x7FFFFFFF).Str("Dir").I32(0),
                     SIZE_MAX,
                     {"Pkg"},
                     {}});
    {
        ArchiveBytes a;
        a.I32(1).I64(16).Raw("AAAA").I32(1).Str("Pkg").I32(1).Str("Dir").I32(0x7FFFFFFF).File("a", 11, 12, 4);
        cases.push_back({"file count 0x7FFFFFFF", a, SIZE_MAX, {"Pkg"}, {"a"}});
    }
    {
        ArchiveBytes a;
        a.I32(1).I64(18).Raw("AAAABB");
        a.I32(1).Str("Pkg").I32(1).Str("Dir").I32(2).File("a", 11, 12, 4000).File("b", 13, 16, 2);
        cases.push_back({"a member past the end", a, SIZE_MAX, {"Pkg"}, {"b"}});
    }
    {
        ArchiveBytes a;
        a.I32(1).I64(18).Raw("AAAABB");
        a.I32(1).Str("Pkg").I32(1).Str("Dir").I32(2).File("a", 11, 0x7FFFFFFFFFFFFFF0LL, 100).File("b", 13, 16, 2);
        cases.push_back({"a member offset near the 64-bit limit", a, SIZE_MAX, {"Pkg"}, {"b"}});
    }
    {
        ArchiveBytes a;
        a.I32(1).I64(18).Raw("AAAABB");
        a.I32(1).Str("Pkg").I32(1).Str("Dir").I32(2).File("a", 11, 12, -4).File("b", 13, 16, 2);
        cases.push_back({"a negative member size", a, SIZE_MAX, {"Pkg"}, {"b"}});
    }
    {
        ArchiveBytes a;
        a.I32(1).I64(18).Raw("AAAABB");
        a.I32(1).Str("Pkg").I32(1).Str("Dir").I32(3).File("a", 99, 12, 4).File("c", -1, 12, 4).File("b", 13, 16, 2);
        cases.push_back({"type codes 99 and -1", a, SIZE_MAX, {"Pkg"}, {"b"}});
    }
    {
        ArchiveBytes a;
        a.I32(1).I64(12).I32(2).Str("Pkg").I32(0);
        a.bytes.push_back(0xFF);  // a name length of 0xFFFF with a few bytes behind it
        a.bytes.push_back(0xFF);
        a.Raw(huge);
        cases.push_back({"a name longer than the file", a, SIZE_MAX, {"Pkg"}, {}});
    }

    ScratchFolder folder;
    for (size_t i = 0; i < cases.size(); ++i)
    {
        const Case& c = cases[i];
        const std::string path = folder.Path("broken" + std::to_string(i) + ".dat");
        c.archive.WriteTo(path, c.cut);
        WeDataFile archive;
        archive.SetPath(WeString(path.c_str()));
        WeStringList packages;
        archive.ListPackages(packages);
        EXPECT_TRUE(archive.IsLoaded()) << c.what;
        EXPECT_EQ(Sorted(packages), c.packages) << c.what;
        std::vector<std::string> present;
        if (archive.Exists(WeString("Pkg.Dir.a"), 11))
            present.push_back("a");
        if (archive.Exists(WeString("Pkg.Dir.b"), 13))
            present.push_back("b");
        EXPECT_EQ(present, c.present) << c.what;
        if (archive.Exists(WeString("Pkg.Dir.b"), 13))
        {
            EXPECT_EQ(ReadMember(archive, "Pkg.Dir.b", 13), (Bytes{'B', 'B'})) << c.what;
        }
    }
}

TEST(WeDataFile, MissingArchiveIsLookedForAgain)
{
    ScratchFolder folder;
    WeDataFile archive;
    archive.SetPath(WePath(folder, "Packages.dat"));
    EXPECT_FALSE(archive.Exists(WeString("Pkg.Dir.a"), 11));
    WeStringList packages;
    archive.ListPackages(packages);
    EXPECT_TRUE(Sorted(packages).empty());
    EXPECT_FALSE(archive.IsLoaded());

    SoundArchive().WriteTo(folder.Path("Packages.dat"));
    EXPECT_TRUE(archive.Exists(WeString("Pkg.Dir.a"), 11));
    EXPECT_EQ(ReadMember(archive, "pkg.dir.A", 11), (Bytes{'A', 'A', 'A', 'A'}));
}

TEST(WeDataFile, MemberStreamIsPositionedAndBoundedByTheMember)
{
    ScratchFolder folder;
    SoundArchive().WriteTo(folder.Path("Packages.dat"));
    WeDataFile archive;
    archive.SetPath(WePath(folder, "Packages.dat"));
    ASSERT_TRUE(archive.Open(WeString("Pkg.Dir.a"), 11));
    WeFileStream* stream = archive.GetStream();
    EXPECT_EQ(stream->Tell(), 12);
    EXPECT_EQ(archive.GetSize(), 4);
    EXPECT_EQ(stream->GetSize(), 4);
    EXPECT_EQ(stream->ReadUInt16(), 'A' | ('A' << 8));
    EXPECT_FALSE(stream->IsEof());
    EXPECT_EQ(stream->ReadInt32(), 'A' | ('A' << 8));  // two bytes of the member, then zeros
    EXPECT_TRUE(stream->IsEof());
    ASSERT_TRUE(stream->Seek(-1, 2));
    EXPECT_EQ(stream->Tell(), 15);
    EXPECT_EQ(stream->ReadByte(), 'A');
    EXPECT_TRUE(archive.Close());
    // Opening the next member repositions the same stream.
    EXPECT_EQ(ReadMember(archive, "Pkg.Dir.b", 13), (Bytes{'B', 'B'}));
    EXPECT_FALSE(archive.Create(WeString("Pkg.Dir.c"), 11, true));
    EXPECT_FALSE(archive.EndCreate());
    EXPECT_FALSE(archive.Delete(WeString("Pkg.Dir.a"), 11));
}

// The fixture tree read loose and the same tree packed give the same listings and member bytes.
class PackedFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        loose.SetRoot(WeString(FixturePackages().c_str()));
        WePackageWriter writer;
        ASSERT_TRUE(writer.Pack(WeString(FixturePackages().c_str()), WePath(scratch, "Packages.dat")))
            << writer.GetError().c_str();
        packed.SetPath(WePath(scratch, "Packages.dat"));
    }

    ScratchFolder scratch;
    WeFileSystem loose;
    WeDataFile packed;
};

TEST_F(PackedFixture, LooseAndPackedAgree)
{
    WeStringList a, b;
    ASSERT_TRUE(loose.ListPackages(a));
    ASSERT_TRUE(packed.ListPackages(b));
    const std::vector<std::string> packages = Sorted(a);
    EXPECT_EQ(packages, (std::vector<std::string>{"Config", "MixedCase", "Sounds", "Textures"}));
    EXPECT_EQ(Sorted(b), packages);
    int members = 0;
    for (const std::string& package : packages)
        for (int32_t type = 0; type < WePackageTypeCount; ++type)
        {
            ASSERT_TRUE(loose.ListFolders(a, WeString(package.c_str()), type));
            ASSERT_TRUE(packed.ListFolders(b, WeString(package.c_str()), type));
            const std::vector<std::string> folders = Sorted(a);
            ASSERT_EQ(Sorted(b), folders) << package << " type " << type;
            for (const std::string& folder : folders)
            {
                loose.ListFiles(a, WeString(package.c_str()), WeString(folder.c_str()), type);
                packed.ListFiles(b, WeString(package.c_str()), WeString(folder.c_str()), type);
                const std::vector<std::string> files = Sorted(a);
                ASSERT_EQ(Sorted(b), files) << package << "." << folder << " type " << type;
                for (const std::string& file : files)
                {
                    const std::string dotted = package + "." + folder + "." + file;
                    const Bytes fromDisk = ReadFileBytes(loose.FindPath(WeString(dotted.c_str()), type).c_str());
                    EXPECT_EQ(ReadMember(loose, dotted.c_str(), type), fromDisk) << dotted;
                    EXPECT_EQ(ReadMember(packed, dotted.c_str(), type), fromDisk) << dotted;
                    ++members;
                }
            }
        }
    EXPECT_EQ(members, 13);
}

TEST_F(PackedFixture, LookupsFollowTheNameRules)
{
    for (WeVirtualFileSystem* fs :
         {static_cast<WeVirtualFileSystem*>(&loose), static_cast<WeVirtualFileSystem*>(&packed)})
    {
        // Names match without regard to case; "Game" finds game.ini.
        EXPECT_EQ(ReadMember(*fs, "Config.Main.Game", 11), ReadFileBytes(FixturePackages() + "/Config/Main/game.ini"));
        EXPECT_TRUE(fs->Exists(WeString("mixedcase.SUBFOLDER.wingleft"), 6));
        // Foo.INI is no ini: its extension does not match exactly, so it is a file of code 0.
        EXPECT_FALSE(fs->Exists(WeString("Config.Main.Foo"), 11));
        EXPECT_TRUE(fs->Exists(WeString("Config.Main.Foo"), 0));
        // One name under two types: two files, each listed under its own type.
        WeStringList list;
        fs->ListFiles(list, WeString("Textures"), WeString("UI"), 1);
        EXPECT_EQ(Sorted(list), (std::vector<std::string>{"Button", "Cursor"}));
        fs->ListFiles(list, WeString("Textures"), WeString("UI"), 2);
        EXPECT_EQ(Sorted(list), (std::vector<std::string>{"Button"}));
        EXPECT_NE(ReadMember(*fs, "Textures.UI.Button", 1), ReadMember(*fs, "Textures.UI.Button", 2));
        fs->ListFolders(list, WeString("textures"), 2);
        EXPECT_EQ(Sorted(list), (std::vector<std::string>{"UI"}));
        // An empty member opens with size 0.
        ASSERT_TRUE(fs->Open(WeString("Config.Main.Empty"), 12));
        EXPECT_EQ(fs->GetSize(), 0);
        EXPECT_TRUE(fs->GetStream()->IsEof());
        fs->Close();
        // Absent names, folders and packages are simply not there.
        EXPECT_FALSE(fs->Exists(WeString("Config.Main.Nothing"), 11));
        EXPECT_FALSE(fs->Open(WeString("Config.Nowhere.game"), 11));
        EXPECT_FALSE(fs->Open(WeString("Nobody.Main.game"), 11));
        fs->ListFiles(list, WeString("Nobody"), WeString("Main"), 11);
        EXPECT_EQ(Sorted(list).size(), 0u);
    }
}

TEST_F(PackedFixture, TypeCodesOutsideTheTableFailEverywhere)
{
    for (WeVirtualFileSystem* fs :
         {static_cast<WeVirtualFileSystem*>(&loose), static_cast<WeVirtualFileSystem*>(&packed)})
        for (int32_t type : {-1, 18, 99, 0x7FFFFFFF})
        {
            WeStringList list;
            list.PushBack() = WeString("stale");
            EXPECT_FALSE(fs->ListFolders(list, WeString("Config"), type));
            EXPECT_EQ(Sorted(list).size(), 0u);
            EXPECT_FALSE(fs->ListFiles(list, WeString("Config"), WeString("Main"), type));
            EXPECT_FALSE(fs->Exists(WeString("Config.Main.game"), type));
            EXPECT_FALSE(fs->Open(WeString("Config.Main.game"), type));
            EXPECT_FALSE(fs->Create(WeString("Config.Main.game"), type, true));
            EXPECT_FALSE(fs->Delete(WeString("Config.Main.game"), type));
        }
}

TEST(WePackageWriter, RefusesWhatItCannotStore)
{
    ScratchFolder folder;
    WePackageWriter writer;
    EXPECT_FALSE(writer.Pack(WePath(folder, "NoSuchTree"), WePath(folder, "out.dat")));
    EXPECT_NE(std::string(writer.GetError().c_str()).find("no Packages tree"), std::string::npos);

    namespace fs = std::filesystem;
    auto tree = [&](const char* name)
    {
        const std::string root = folder.Path(name);
        fs::create_directories(root + "/Pkg/Dir");
        WriteFileBytes(root + "/Pkg/Dir/ok.ini", Bytes{'x'});
        return root;
    };
    struct Case
    {
        const char* what;
        std::string root;
        const char* message;
    } cases[] = {
        {"dotted package", tree("t1"), "package name cannot be stored"},
        {"case twins", tree("t2"), "differs from another only in case"},
        {"file twins", tree("t3"), "clash"},
        {"unreadable", tree("t4"), "cannot read"},
    };
    fs::create_directories(cases[0].root + "/Bad.Name/Dir");
    fs::create_directories(cases[1].root + "/Pkg/dir");
    WriteFileBytes(cases[2].root + "/Pkg/Dir/OK.ini", Bytes{'y'});
    fs::create_symlink(cases[3].root + "/nowhere", cases[3].root + "/Pkg/Dir/gone.ini");
    for (const Case& c : cases)
    {
        WriteFileBytes(folder.Path("out.dat"), Bytes{1, 2, 3});
        EXPECT_FALSE(writer.Pack(WeString(c.root.c_str()), WePath(folder, "out.dat"))) << c.what;
        EXPECT_NE(std::string(writer.GetError().c_str()).find(c.message), std::string::npos)
            << c.what << ": " << writer.GetError().c_str();
        // A failed run leaves the old archive alone.
        EXPECT_EQ(ReadFileBytes(folder.Path("out.dat")), (Bytes{1, 2, 3})) << c.what;
    }
}

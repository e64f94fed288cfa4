#include "Engine/foundation/WeConfig.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Engine/foundation/WeFileSystem.h"
#include "FileTestSupport.h"

namespace fs = std::filesystem;

namespace
{
// In the grammar table: a text whose numeric readings are not the point of the case.
constexpr int32_t Text = 0x7FFFFFFF;

// Configuration files written into a scratch loose tree and read from there.
class ConfigFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LookupConfigEntry(WeString("-"), false);  // the process's own first load is done with
        fs::create_directories(scratch.Path("Packages/Config/Main"));
        tree.SetRoot(WePath(scratch, "Packages"));
        SetConfigFileSystem(&tree);
    }
    void TearDown() override { SetConfigFileSystem(nullptr); }

    void Write(const std::string& file, const std::string& text)
    {
        const std::string path = scratch.Path("Packages/Config/Main/" + file + ".ini");
        WriteFileBytes(path, Bytes(text.begin(), text.end()));
        tree.SetRoot(WePath(scratch, "Packages"));  // scan again
    }
    void Load(const std::string& file, const std::string& text)
    {
        Write(file, text);
        LoadConfigFiles(WeString(file.c_str()));
    }

    ScratchFolder scratch;
    WeFileSystem tree;
};

// Reads settings from a destructor that runs during exit, after main, when armed. Defined before
// anything in this file touches the store, so it is destroyed after whatever the store was built on.
struct LateReader
{
    bool armed = false;
    ~LateReader()
    {
        if (!armed)
            return;
        std::fprintf(stderr, "late: %s %d\n",
                     GetConfigString(WeString("build.Options.Version"), WeString("reloaded")).c_str(),
                     static_cast<int>(GetConfigInt(WeString("test.Late.Runtime"), 0)));
    }
};
LateReader s_LateReader;

// Bound during static initialisation, before main, as settings throughout the game are.
int32_t& s_BoundBeforeMain = GetConfigInt(WeString("test.Static.Bound"), 42);
WeString& s_VersionBeforeMain = GetConfigString(WeString("build.Options.Version"), WeString("unset"));

const WeConfigEntry* Entry(const std::string& key)
{
    return LookupConfigEntry(WeString(key.c_str()), false);
}
}  // namespace

TEST_F(ConfigFiles, IniGrammar)
{
    const struct
    {
        const char* what;
        const char* text;
        const char* key;    // name under file "g<n>"; null: nothing but `absent` is checked
        const char* value;  // null: the key must not exist
        int32_t intValue;
        bool boolValue;
        float floatValue;
        const char* absent;  // another name that must not exist, or null
    } cases[] = {
        {"a plain value", "[Render]\nBloom=0.5\n", "Render.Bloom", "0.5", 0, false, 0.5f, nullptr},
        {"hex through '#'", "[S]\nv=#1F\n", "S.v", "#1F", 31, true, 0.0f, nullptr},
        {"one is true", "[S]\nv=1", "S.v", "1", 1, true, 1.0f, nullptr},
        {"blanks are kept", "[S]\nWidth = 800\n", "S.Width ", " 800", 800, true, 800.0f, "S.Width"},
        {"CR LF lines", "[S]\r\na=1\r\nb=2\r\n", "S.b", "2", 2, true, 2.0f, nullptr},
        {"CR lines", "[S]\ra=1\rb=2\r", "S.b", "2", 2, true, 2.0f, nullptr},
        {"escaped line feed", "[S]\nMsg=Hello\\nWorld\n", "S.Msg", "Hello\nWorld", Text, false, 0.0f, nullptr},
        {"escaped tab is byte 9", "[S]\nTab=a\\tb\n", "S.Tab", "a\tb", Text, false, 0.0f, nullptr},
        {"escaped semicolon", "[S]\nv=a\\;b\n", "S.v", "a;b", Text, false, 0.0f, nullptr},
        {"a backslash joins lines", "[S]\nv=ab\\\ncd\n", "S.v", "abcd", Text, false, 0.0f, nullptr},
        {"a backslash joins CR LF lines", "[S]\r\nv=ab\\\r\ncd\r\n", "S.v", "abcd", Text, false, 0.0f, nullptr},
        {"comment after a value", "[S]\nKey=abc ; note\n", "S.Key", "abc ", Text, false, 0.0f, nullptr},
        {"a '[' in a comment keeps the section", "[S]\n; [old]\nk=7\n", "S.k", "7", 7, true, 7.0f, "old.k"},
        {"an '=' in a comment defines nothing", "[S]\nk ; =5\n", nullptr, nullptr, 0, false, 0.0f, "S.k "},
        {"a comment line defines nothing", "[S]\n;x=1\n", nullptr, nullptr, 0, false, 0.0f, "S.;x"},
        {"a backslash in a comment does not join", "[S]\n; note \\\nk=3\n", "S.k", "3", 3, true, 3.0f, nullptr},
        {"a backslash as the last byte keeps the line", "[S]\nlast=1\\", "S.last", "1", 1, true, 1.0f, nullptr},
        {"no final line end", "[S]\nend=9", "S.end", "9", 9, true, 9.0f, nullptr},
        {"a line without '='", "[S]\nlonely\n", nullptr, nullptr, 0, false, 0.0f, "S.lonely"},
        {"a key before any section", "k=1\n[S]\n", nullptr, nullptr, 0, false, 0.0f, ".k"},
        {"bytes after ']' begin a key", "[S]k=1\n", "S.k", "1", 1, true, 1.0f, nullptr},
        {"a value may hold '=' and ']'", "[S]\nv=a=b]c\n", "S.v", "a=b]c", Text, false, 0.0f, nullptr},
        {"an empty value", "[S]\nv=\n", "S.v", "", 0, false, 0.0f, nullptr},
        {"a later line wins", "[S]\nv=1\nv=2\n", "S.v", "2", 2, true, 2.0f, nullptr},
        {"a new section replaces the old", "[A]\n[B]\nv=1\n", "B.v", "1", 1, true, 1.0f, "A.v"},
        {"false reads as a number", "[S]\nv=false\n", "S.v", "false", WeString("false").ToInt(10), true, 0.0f, nullptr},
    };
    int n = 0;
    for (const auto& c : cases)
    {
        const std::string file = "g" + std::to_string(n++);
        Load(file, c.text);
        if (c.key)
        {
            const WeConfigEntry* entry = Entry(file + "." + c.key);
            if (!c.value)
            {
                EXPECT_EQ(entry, nullptr) << c.what;
                continue;
            }
            ASSERT_NE(entry, nullptr) << c.what;
            EXPECT_TRUE(entry->fromFile) << c.what;
            EXPECT_TRUE(entry->hasValue) << c.what;
            EXPECT_EQ(std::string(entry->text.c_str(), static_cast<size_t>(entry->text.Length())), c.value) << c.what;
            if (c.intValue != Text)
            {
                EXPECT_EQ(entry->intValue, c.intValue) << c.what;
                EXPECT_EQ(entry->boolValue, c.boolValue) << c.what;
                EXPECT_FLOAT_EQ(entry->floatValue, c.floatValue) << c.what;
            }
        }
        if (c.absent)
        {
            EXPECT_EQ(Entry(file + "." + c.absent), nullptr) << c.what << ": " << c.absent;
        }
    }
}

TEST_F(ConfigFiles, LoadsEveryIniButDebugAndMapEditor)
{
    Write("alpha", "[S]\nv=1\n");
    Write("debug", "[S]\nv=1\n");
    Write("MapEditor", "[S]\nv=1\n");
    LoadConfigFiles(WeString());
    EXPECT_NE(Entry("alpha.S.v"), nullptr);
    EXPECT_EQ(Entry("debug.S.v"), nullptr);
    EXPECT_EQ(Entry("MapEditor.S.v"), nullptr);
    EXPECT_EQ(GetConfigFileList().Count(), 3);
}

TEST_F(ConfigFiles, AFileLoadedLaterRewritesABoundEntryInPlace)
{
    int32_t& bound = GetConfigInt(WeString("later.S.v"), 5);
    WeString& text = GetConfigString(WeString("later.S.v"), WeString("ignored"));
    Load("later", "[S]\nv=9\n");
    EXPECT_EQ(bound, 9);
    EXPECT_STREQ(text.c_str(), "9");
    EXPECT_TRUE(Entry("later.S.v")->fromFile);
    EXPECT_EQ(&GetConfigInt(WeString("later.S.v"), 0), &bound);
}

TEST_F(ConfigFiles, NumbersParseInTheCLocaleWhateverTheProcessLocale)
{
    // A locale that writes decimals with ',': an installed one, or one built for this test.
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"};
    bool set = false;
    for (const char* name : names)
        set = set || std::setlocale(LC_ALL, name) != nullptr;
    if (!set)
    {
        const std::string locales = scratch.Path("locales");
        fs::create_directories(locales);
        const std::string command = "localedef -i de_DE -f UTF-8 " + locales + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0)
        {
            setenv("LOCPATH", locales.c_str(), 1);
            set = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        }
    }
    if (!set)
        GTEST_SKIP() << "no locale with a decimal comma can be set up here";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    Load("numbers", "[S]\nf=2.5\nc=2,5\n");
    EXPECT_FLOAT_EQ(Entry("numbers.S.f")->floatValue, 2.5f);
    EXPECT_FLOAT_EQ(Entry("numbers.S.c")->floatValue, 2.0f);
    EXPECT_FLOAT_EQ(GetConfigFloat(WeString("numbers.S.default"), 0.25f), 0.25f);
    EXPECT_STREQ(Entry("numbers.S.default")->text.c_str(), "0.25");
    std::setlocale(LC_ALL, "C");
}

TEST(WeConfig, TheFirstGetterDecidesAndAllReadingsAgree)
{
    int32_t& first = GetConfigInt(WeString("test.Getters.Five"), 5);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(&GetConfigInt(WeString("test.Getters.Five"), 7), &first);
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Five"), 7), 5);
    // The default's text was stored and parsed, so every reading says 5.
    EXPECT_FLOAT_EQ(GetConfigFloat(WeString("test.Getters.Five"), 1.0f), 5.0f);
    EXPECT_TRUE(GetConfigBool(WeString("test.Getters.Five"), false));
    EXPECT_STREQ(GetConfigString(WeString("test.Getters.Five"), WeString("x")).c_str(), "5");
    const WeConfigEntry* entry = FindConfigEntry(WeString("test.Getters.Five"));
    EXPECT_FALSE(entry->fromFile);

    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Minus"), -12), -12);
    EXPECT_FLOAT_EQ(GetConfigFloat(WeString("test.Getters.Minus"), 0.0f), -12.0f);
    EXPECT_FLOAT_EQ(GetConfigFloat(WeString("test.Getters.Half"), 0.5f), 0.5f);
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Half"), 3), 0);
    EXPECT_FALSE(GetConfigBool(WeString("test.Getters.Off"), false));
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Off"), 9), 0);
    EXPECT_TRUE(GetConfigBool(WeString("test.Getters.On"), true));
    EXPECT_STREQ(GetConfigString(WeString("test.Getters.On"), WeString()).c_str(), "1");
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Text"), 0), 0);
    EXPECT_STREQ(GetConfigString(WeString("test.Getters.Word"), WeString("#10")).c_str(), "#10");
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Word"), 0), 16);
    // A float default is written out in fixed point, as a file would hold it.
    EXPECT_FLOAT_EQ(GetConfigFloat(WeString("test.Getters.Tiny"), 1e-7f), 1e-7f);
    EXPECT_STREQ(GetConfigString(WeString("test.Getters.Tiny"), WeString()).c_str(), "0.0000001");
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Tiny"), 3), 0);
    EXPECT_FLOAT_EQ(GetConfigFloat(WeString("test.Getters.Big"), -1234.5f), -1234.5f);
    EXPECT_STREQ(GetConfigString(WeString("test.Getters.Big"), WeString()).c_str(), "-1234.5");
    EXPECT_EQ(GetConfigInt(WeString("test.Getters.Big"), 3), -1234);
    EXPECT_TRUE(GetConfigBool(WeString("test.Getters.Big"), false));
}

TEST(WeConfig, ReferencesSeeChangesMadeThroughTheEntry)
{
    float& bloom = GetConfigFloat(WeString("test.Render.Bloom"), 1.0f);
    WeConfigEntry* entry = FindConfigEntry(WeString("test.Render.Bloom"));
    // Many more entries do not move it.
    for (int i = 0; i < 2000; ++i)
    {
        WeString key("test.Many.k");
        key.AppendInt(i);
        GetConfigInt(key, i);
    }
    entry->text.Clear();
    entry->text.AppendFloat(0.25, 3);
    entry->hasValue = true;
    entry->ParseText();
    EXPECT_FLOAT_EQ(bloom, 0.25f);
    EXPECT_EQ(&GetConfigFloat(WeString("test.Render.Bloom"), 9.0f), &bloom);
    EXPECT_EQ(GetConfigInt(WeString("test.Many.k1999"), 0), 1999);
}

TEST(WeConfig, ListConfigKeysByPrefixIgnoringCaseInTableOrder)
{
    GetConfigInt(WeString("ListTest.A.one"), 1);
    GetConfigInt(WeString("listtest.B.two"), 2);
    GetConfigInt(WeString("LISTTEST"), 3);
    GetConfigInt(WeString("ListTes"), 4);
    GetConfigInt(WeString("Other.ListTest.x"), 5);
    WeStringList keys;
    keys.PushBack() = WeString("stale");
    ListConfigKeys(WeString("LISTTEST"), keys);
    std::vector<std::string> listed;
    for (const WeString& key : keys)
        listed.push_back(key.c_str());
    std::vector<std::string> sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"LISTTEST", "ListTest.A.one", "listtest.B.two"}));
    // Table order: by bucket, as the hash table iterates.
    std::vector<int32_t> buckets;
    for (const std::string& key : listed)
        buckets.push_back(WeHashKey::Bucket(WeString(key.c_str())));
    EXPECT_TRUE(std::is_sorted(buckets.begin(), buckets.end()));
}

TEST(WeConfig, GettersWorkFromStaticInitialisers)
{
    EXPECT_EQ(s_BoundBeforeMain, 42);
    EXPECT_EQ(&GetConfigInt(WeString("test.Static.Bound"), 0), &s_BoundBeforeMain);
    // The first getter loaded the shipped files, so the file's value won over the default.
    EXPECT_STREQ(s_VersionBeforeMain.c_str(), "ver 1.0");
}

TEST(WeConfig, BuildVersionComesFromTheShippedPack)
{
    // The package file beside the test is packed from Content/.
    EXPECT_STREQ(GetBuildVersion().c_str(), "ver 1.0");
    EXPECT_EQ(&GetBuildVersion(), &GetConfigString(WeString("build.Options.Version"), WeString()));
    EXPECT_TRUE(FindConfigEntry(WeString("build.Options.Version"))->fromFile);
}

TEST(WeConfigDeathTest, GettersStillWorkDuringExit)
{
    // A value set at run time survives until the last destructor: nothing is reloaded or torn down.
    EXPECT_EXIT(
        {
            GetConfigInt(WeString("test.Late.Runtime"), 77);
            s_LateReader.armed = true;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "late: ver 1\\.0 77");
}

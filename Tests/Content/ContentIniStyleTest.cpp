// Every shipped ini follows the house style: "[Section]" lines, key=value lines with no blanks
// around '=', comments after ';', booleans as 0 or 1, colours as #AARRGGBB, every key inside a
// section and none twice in one section; the texture descriptions of Content/Assets likewise. The packed
// data beside the tests matches the staged tree and holds what the engine loads by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Engine/foundation/WeDataFile.h"
#include "Engine/foundation/WeFileSystem.h"
#include "Engine/foundation/WeVirtualFileSystem.h"

namespace fs = std::filesystem;

namespace
{
fs::path ContentPackages()
{
    return fs::path(WE_FIXTURES_DIR).parent_path().parent_path() / "Content" / "Packages";
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The problems of one ini text, one message per line at fault. A translation's values are texts shown to
// the player ("Yes", "On"), so the boolean rule does not hold for them.
std::vector<std::string> StyleProblems(const std::string& text, bool translation = false)
{
    std::vector<std::string> problems;
    std::istringstream lines(text);
    std::string line, section;
    std::set<std::string> keys;
    for (int number = 1; std::getline(lines, line); ++number)
    {
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!line.empty() && line.back() == '\r')
            problems.push_back(where + "CR LF line end");
        if (!line.empty() && IsBlank(line.back()))
            problems.push_back(where + "trailing blank");
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[')
        {
            if (line.back() != ']' || line.size() < 3)
                problems.push_back(where + "malformed section line");
            section = line;
            keys.clear();
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0)
        {
            problems.push_back(where + "no key=value");
            continue;
        }
        if (section.empty())
            problems.push_back(where + "key before any section");
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (IsBlank(key.front()) || IsBlank(key.back()) || (!value.empty() && IsBlank(value.front())))
            problems.push_back(where + "blank around '='");
        if (!keys.insert(key).second)
            problems.push_back(where + "key " + key + " twice in " + section);
        const std::string word = Lower(value);
        if (!translation &&
            (word == "true" || word == "false" || word == "yes" || word == "no" || word == "on" || word == "off"))
            problems.push_back(where + "boolean as a word; write 0 or 1");
        // Generators take lists of colours ("checker=#AARRGGBB,#AARRGGBB,4"): each item is held to it.
        std::istringstream items(value);
        for (std::string item; std::getline(items, item, ',');)
            if (!item.empty() && item[0] == '#' &&
                (item.size() != 9 || !std::all_of(item.begin() + 1, item.end(),
                                                  [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })))
                problems.push_back(where + "colour is not #AARRGGBB");
    }
    return problems;
}
}  // namespace

TEST(ContentIniStyle, TheCheckerCatchesEachRule)
{
    EXPECT_TRUE(StyleProblems("; comment\n[S]\nk=1\nColour=#FF00FF00\nName=two words\n\n").empty());
    const char* faulty[] = {"[S]\nk = 1\n",   "[S]\nk =1\n",   "[S]\nk= 1\n",     "k=1\n",
                            "[S]\nk=true\n",  "[S]\nc=#FFF\n", "[S]\nk=1\nk=2\n", "[S]\nk=1 \n",
                            "[S]\nnothing\n", "[S\nk=1\n",     "[S]\r\nk=1\r\n"};
    for (const char* text : faulty)
        EXPECT_FALSE(StyleProblems(text).empty()) << text;
    EXPECT_TRUE(StyleProblems("[S]\nUI: YES=Yes\nUI: OFF=Off\n", true).empty());
    EXPECT_FALSE(StyleProblems("[S]\nUI: YES = Yes\n", true).empty());
}

TEST(ContentIniStyle, EveryShippedIniFollowsTheStyle)
{
    int checked = 0;
    // The hand-written tree and the staged one, which holds the generated ini files too.
    std::vector<fs::directory_entry> entries;
    for (const fs::path& root : {ContentPackages(), fs::current_path().parent_path() / "content" / "Packages"})
        if (fs::is_directory(root))
            for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
                entries.push_back(entry);
    for (const fs::directory_entry& entry : entries)
    {
        if (!entry.is_regular_file() || entry.path().extension() != ".ini")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const bool translation = entry.path().filename().string().rfind("Localization", 0) == 0;
        for (const std::string& problem : StyleProblems(text, translation))
            ADD_FAILURE() << entry.path().string() << " " << problem;
        ++checked;
    }
    EXPECT_GE(checked, 2);
}

TEST(ContentPack, PackedDataBesideTheTestsMatchesTheTree)
{
    // The staged tree: the hand-written files with the generated ones (the skin's texture map) over them.
    WeFileSystem tree;
    tree.SetRoot(WeString((fs::current_path().parent_path() / "content" / "Packages").string().c_str()));
    WeDataFile* packed = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(packed->EnsureLoaded()) << "no Packages.dat beside the tests";
    WeStringList a, b;
    tree.ListFiles(a, WeString("Config"), WeString("Main"), 11);
    packed->ListFiles(b, WeString("Config"), WeString("Main"), 11);
    std::vector<std::string> loose, archived;
    for (const WeString& name : a)
        loose.push_back(name.c_str());
    for (const WeString& name : b)
        archived.push_back(name.c_str());
    std::sort(loose.begin(), loose.end());
    std::sort(archived.begin(), archived.end());
    EXPECT_EQ(archived, loose);
    EXPECT_NE(std::find(loose.begin(), loose.end(), "build"), loose.end());
    EXPECT_NE(std::find(loose.begin(), loose.end(), "LocalizationEN"), loose.end());
}

// Every resource the engine loads by name at device creation or as a default is in the pack, so the game
// never runs on fallbacks.
TEST(ContentPack, TheNamesTheRenderDeviceLoadsArePacked)
{
    WeDataFile* packed = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(packed->EnsureLoaded()) << "no Packages.dat beside the tests";
    const char* shaders[] = {"Shaders.Default.SharedHandles", "Shaders.Default.ColorOnly",
                             "Shaders.Default.Default",       "Shaders.Default.AlphaFalloff",
                             "Shaders.Default.Billboard",     "Shaders.Default.NewParticleSystem",
                             "Shaders.Special.Trail",         "Shaders.Default.2D"};
    for (const char* name : shaders)
        EXPECT_TRUE(packed->Exists(WeString(name), 3)) << name;
    for (const char* name : {"MapEditor.Textures.DefaultBlack1x1", "MapEditor.Textures.DefaultWhite1x1"})
        EXPECT_TRUE(packed->Exists(WeString(name), 1)) << name;
    for (const char* name : {"Materials.Editor.Light", "Materials.Editor.Selection"})
        EXPECT_TRUE(packed->Exists(WeString(name), 2)) << name;
    EXPECT_TRUE(packed->Exists(WeString("MapEditor.Geometry.Box"), 5));
}

// The pack holds exactly the staged tree (Content/Packages plus the generated members).
TEST(ContentPack, PackedListingMatchesTheStagedTree)
{
    WeFileSystem staged;
    const fs::path stagedRoot = fs::current_path().parent_path() / "content" / "Packages";
    ASSERT_TRUE(fs::is_directory(stagedRoot)) << stagedRoot;
    staged.SetRoot(WeString(stagedRoot.string().c_str()));
    WeDataFile* packed = WeVirtualFileSystem::GetDataFile();
    ASSERT_TRUE(packed->EnsureLoaded());
    auto listing = [](WeVirtualFileSystem& vfs)
    {
        std::vector<std::string> names;
        WeStringList packages;
        vfs.ListPackages(packages);
        for (const WeString& package : packages)
            for (int32_t type = 1; type < 18; ++type)
            {
                WeStringList folders;
                vfs.ListFolders(folders, package, type);
                for (const WeString& folder : folders)
                {
                    WeStringList files;
                    vfs.ListFiles(files, package, folder, type);
                    for (const WeString& file : files)
                        names.push_back(Lower(std::string(package.c_str()) + "." + folder.c_str() + "." + file.c_str() +
                                              "/" + std::to_string(type)));
                }
            }
        std::sort(names.begin(), names.end());
        return names;
    };
    std::vector<std::string> a = listing(staged), b = listing(*packed);
    EXPECT_EQ(b, a);
    EXPECT_GE(a.size(), 12u);
}

TEST(ContentIniStyle, EveryTextureDescriptionFollowsTheStyle)
{
    int checked = 0;
    for (const fs::directory_entry& entry :
         fs::recursive_directory_iterator(ContentPackages().parent_path() / "Assets"))
    {
        if (!entry.is_regular_file() || entry.path().extension() != ".tex")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const bool translation = entry.path().filename().string().rfind("Localization", 0) == 0;
        for (const std::string& problem : StyleProblems(text, translation))
            ADD_FAILURE() << entry.path().string() << " " << problem;
        ++checked;
    }
    EXPECT_GE(checked, 2);
}

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "Engine/foundation/WeLocalization.h"
#include "Game/craft/KillText.h"
#include "Game/shell/CMainGameInterface.h"
#include "Game/shell/CUberText.h"
#include "Platform/system/SysRandom.h"
#include "Tests/Game/craft/DamageTestSupport.h"

namespace
{

std::string S(const WeString& s)
{
    return std::string(s.c_str(), size_t(s.Length()));
}

std::string ColourRun(const std::string& hex, const std::string& name)
{
    return std::string("\x01") + hex + name + "\x02";
}

TEST(KillText, TemplatesAndNames)
{
    const uint32_t red = 0xFFFF0000u, blue = 0xFF0000FFu;
    const std::string k = ColourRun("FFFF0000", "Ace"), v = ColourRun("FF0000FF", "Bob");
    struct Row
    {
        const char* templ;
        const char* killer;
        const char* victim;
        std::string expected;
    };
    const Row rows[] = {
        {"%a killed %k", "Ace", "Bob", k + " killed " + v},
        {"%A%K%a", "Ace", "Bob", k + v + k},
        {"%%a", "Ace", "Bob", "%" + k},
        {"trailing %", "Ace", "Bob", "trailing %"},
        {"%x and %", "Ace", "Bob", "%x and %"},
        {"no markers", "Ace", "Bob", "no markers"},
        // A name is inserted as it stands and never read again.
        {"%a got %k", "%a", "%k%k", ColourRun("FFFF0000", "%a") + " got " + ColourRun("FF0000FF", "%k%k")},
        // Bytes 1 and 2 (and every byte below 0x20) leave a name, so it cannot open or close a run.
        {"%a",
         "A\x01"
         "B\x02"
         "C\n",
         "", ColourRun("FFFF0000", "ABC")},
    };
    for (const Row& r : rows)
    {
        SCOPED_TRACE(r.templ);
        EXPECT_EQ(S(BuildKillText(WeString(r.templ), WeString(r.killer), red, WeString(r.victim), blue)), r.expected);
    }
}

TEST(KillText, LongNamesAreCutAtAWholeCharacter)
{
    std::string huge(10000, 'x');
    WeString out;
    AppendNameRun(out, WeString(huge.c_str()), 0xFFFFFFFFu);
    EXPECT_EQ(S(out), ColourRun("FFFFFFFF", std::string(64, 'x')));

    // 63 ASCII bytes then a two-byte character: the cut falls inside it, so it goes whole.
    std::string utf = std::string(63, 'a') + "\xC3\xA9" + "zz";
    out = WeString();
    AppendNameRun(out, WeString(utf.c_str()), 0xFFFFFFFFu);
    EXPECT_EQ(S(out), ColourRun("FFFFFFFF", std::string(63, 'a')));
    // 62 then the same character: it fits exactly.
    utf = std::string(62, 'a') + "\xC3\xA9" + "zz";
    out = WeString();
    AppendNameRun(out, WeString(utf.c_str()), 0xFFFFFFFFu);
    EXPECT_EQ(S(out), ColourRun("FFFFFFFF", std::string(62, 'a') + "\xC3\xA9"));
}

TEST(KillText, ColoursAreClampedRoundedAndNaNIsZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row
    {
        float rgba[4];
        uint32_t packed;
    };
    const Row rows[] = {
        {{1.5f, -0.2f, nan, 1.0f}, 0xFFFF0000u},
        {{0.5f, 0.25f, 1.0f, 0.0f}, 0x008040FFu},
        {{nan, nan, nan, nan}, 0x00000000u},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PackTrailColour(r.rgba), r.packed);
    WeString out;
    AppendNameRun(out, WeString("n"), 0x008040FFu);
    EXPECT_EQ(S(out), ColourRun("008040FF", "n"));
}

TEST(KillText, KeywordsOfEveryKind)
{
    const char* const expected[] = {"PLASMABOLT",  "DOUBLEBOLT",     "HOMINGMISSILE",  "QUANTUMBOLT",
                                    "SWARMER",     "SLOWINGROCKET",  "TRANSLOCATOR",   "MINIGUN",
                                    "FFG",         "NUCLEARWARHEAD", "CONTACTMINE",    "SINGULARITYMINE",
                                    "HOMINGMINE",  "PROXIMITYMINE",  "FORCEFIELDMINE", "MOTIONMINE",
                                    "STEALTHMINE", "NUKEMINE",       "ELECTRICMINE",   "EMPMINE",
                                    "KESTENGINE",  "DYNAMICOBJECT"};
    for (int32_t kind = 1; kind <= 22; ++kind)
        EXPECT_STREQ(DeathKeyword(kind), expected[kind - 1]);
    for (int32_t kind : {0, 23, -1})
        EXPECT_EQ(DeathKeyword(kind), nullptr);
}

// The texts a death shows on the display, on the rig.
struct KillTextShown : DamageTest::Rig
{
    // The newest message's text with the runs removed.
    std::string LastShown()
    {
        const auto& messages = g_MainGameInterface.m_Messages;
        if (messages.IsEmpty())
            return std::string();
        auto* n = messages.FirstNode();
        while (messages.NextNode(n))
            n = messages.NextNode(n);
        return S(StripColourRuns(n->payload->GetText()));
    }
    std::string Text(const std::string& key, const char* killer, const char* victim)
    {
        return S(StripColourRuns(
            BuildKillText(g_Localization.GetText(WeString(key.c_str())), WeString(killer), 0, WeString(victim), 0)));
    }
    void Kill(CTuber* victim, CTuber* attacker, int32_t kind)
    {
        DamageTest::Revive(victim);
        attacker->m_MultiKillCount = 0;  // one kill at a time: no multi-kill text
        ASSERT_TRUE(victim->ApplyDamage(1.0e6f, attacker, kind));
        DamageTest::Drain();
    }
};

TEST_F(KillTextShown, VariantsKeywordsAndSuicides)
{
    ConfigOverride three("game.Hud.MaxDeathTexts", "3");
    // Every variant of a kind is drawn, and nothing else.
    std::set<std::string> seen;
    for (int i = 0; i < 60; ++i)
    {
        Kill(rival, player, 1);
        seen.insert(LastShown());
    }
    std::set<std::string> variants;
    for (int n = 1; n <= 3; ++n)
        variants.insert(Text("MSG: DEATH_PLASMABOLT_" + std::to_string(n), "Player", "Rival"));
    EXPECT_EQ(seen, variants);

    // Each keyword's text; kinds without one, and killing oneself, show the suicide text.
    for (int32_t kind = 1; kind <= 22; ++kind)
    {
        SCOPED_TRACE(kind);
        Kill(rival, player, kind);
        const std::string shown = LastShown();
        bool any = false;
        for (int n = 1; n <= 3; ++n)
            any = any || shown == Text(std::string("MSG: DEATH_") + DeathKeyword(kind) + "_" + std::to_string(n),
                                       "Player", "Rival");
        EXPECT_TRUE(any) << shown;
    }
    const std::string suicide = Text("MSG: SUICIDE", "Rival", "Rival");
    EXPECT_EQ(suicide, "Rival blew up");
    for (int32_t kind : {0, 23, -1})
    {
        Kill(rival, player, kind);
        EXPECT_EQ(LastShown(), Text("MSG: SUICIDE", "Player", "Rival"));
    }
    Kill(rival, rival, 1);
    EXPECT_EQ(LastShown(), suicide);
}

TEST_F(KillTextShown, NoDeathTextsAndMissingVariants)
{
    {
        ConfigOverride none("game.Hud.MaxDeathTexts", "0");
        const int32_t before = g_MainGameInterface.m_Messages.Count();
        DamageTest::Revive(rival);
        player->m_MultiKillCount = 3;
        player->m_LastKillTime = player->m_Participant->m_RaceTime;
        ASSERT_TRUE(rival->ApplyDamage(1.0e6f, player, 1));
        DamageTest::Drain();
        EXPECT_EQ(player->m_MultiKillCount, 4);
        EXPECT_EQ(g_MainGameInterface.m_Messages.Count(), before);  // neither the death nor the multi-kill text
        Kill(rival, rival, 1);
        EXPECT_EQ(g_MainGameInterface.m_Messages.Count(), before + 1);
        EXPECT_EQ(LastShown(), "Rival blew up");
    }
    {
        // Variants past those translated fall back to the first.
        ConfigOverride many("game.Hud.MaxDeathTexts", "2000000000");
        for (int i = 0; i < 10; ++i)
        {
            Kill(rival, player, 2);
            EXPECT_EQ(LastShown(), Text("MSG: DEATH_DOUBLEBOLT_1", "Player", "Rival"));
        }
    }
    {
        // Messages off: nothing.
        const uint8_t shown = g_MainGameInterface.m_MessagesShown;
        g_MainGameInterface.m_MessagesShown = 0;
        const int32_t before = g_MainGameInterface.m_Messages.Count();
        Kill(rival, player, 1);
        EXPECT_EQ(g_MainGameInterface.m_Messages.Count(), before);
        g_MainGameInterface.m_MessagesShown = shown;
    }
}

TEST_F(KillTextShown, TheShownTextCarriesTheTeamColoursOfBothNames)
{
    ConfigOverride one("game.Hud.MaxDeathTexts", "1");
    Kill(rival, player, 1);
    const auto& messages = g_MainGameInterface.m_Messages;
    ASSERT_FALSE(messages.IsEmpty());
    auto* n = messages.FirstNode();
    while (messages.NextNode(n))
        n = messages.NextNode(n);
    const CUberText* text = n->payload;
    const std::string expected = S(BuildKillText(g_Localization.GetText(WeString("MSG: DEATH_PLASMABOLT_1")),
                                                 WeString("Player"), PackTrailColour(player->m_TrailColor),
                                                 WeString("Rival"), PackTrailColour(rival->m_TrailColor)));
    EXPECT_EQ(S(text->GetText()), expected);
    EXPECT_EQ(text->GetInStyle() == CUberText::RandomStyle || text->GetInStyle() > 0, true);
}

}  // namespace

#include "Game/shell/RaceResultLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "Game/shell/CPlayGamePhase.h"
#include "Game/shell/CRaceParticipant.h"
#include "Game/shell/CRaceSettings.h"
#include "Tests/Game/shell/RaceTestSupport.h"
#include "Tests/support/DebugLineCapture.h"

namespace
{
std::vector<std::string> ResultLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("race result ", 0) == 0)
            lines.push_back(line);
    return lines;
}

using RaceResultLogTest = RaceFixture;

// The lines come once, when the standings are final (after the finalisation), one per racer in place order,
// each with the participant's own name, craft and times.
TEST_F(RaceResultLogTest, OneLinePerRacerInPlaceOrderOnceTheStandingsAreFinal)
{
    StartRace();
    RunToState(CPlayGamePhase::Racing);
    DebugLineCapture capture;
    g_PlayGamePhase.FinishRace(0);
    rig->RunUntil([&] { return g_PlayGamePhase.m_RaceOver != 0; }, 10.0);
    ASSERT_EQ(g_PlayGamePhase.m_RaceOver, 1);
    const std::vector<std::string> lines = ResultLines(capture.Text());
    const int32_t total = g_RaceSettings.CountParticipants();
    ASSERT_GT(total, 1);
    ASSERT_EQ(int32_t(lines.size()), total) << capture.Text();
    int32_t lastPlace = 0;
    for (const std::string& line : lines)
    {
        int32_t place = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "race result %d", &place), 1) << line;
        EXPECT_GE(place, lastPlace) << line;
        lastPlace = place;
        int32_t fields = 0;
        std::istringstream words(line);
        for (std::string word; words >> word;)
            ++fields;
        EXPECT_EQ(fields, 7) << line;  // no name or craft splits into two fields
        bool known = false;
        for (int32_t slot = 0; slot < CRaceSettings::SlotCount; ++slot)
        {
            const CRaceParticipant* p = g_RaceSettings.GetParticipant(slot);
            known |= p != nullptr && p->IsRacing() && p->m_RacePlace == place &&
                     line.find(std::string(" ") + p->m_CraftKey.c_str() + " ") != std::string::npos;
        }
        EXPECT_TRUE(known) << line;
    }

    capture.Clear();
    rig->Tick(200);
    EXPECT_TRUE(ResultLines(capture.Text()).empty()) << "written twice";
}
}  // namespace

#include "Engine/runtime/WePhaseManager.h"
#include "Engine/runtime/WeAbstractPhase.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{
std::string g_Log;

void Log(const std::string& text)
{
    g_Log += (g_Log.empty() ? "" : " ") + text;
}

// Logs every step as "<name>.<Step>"; hooks let a step post requests or look at the stack.
class RecordingPhase : public WeAbstractPhase
{
public:
    explicit RecordingPhase(const char* name) : m_Name(name) {}
    ~RecordingPhase() = default;

    void Enter() override { Step("Enter", onEnter); }
    void Leave() override { Step("Leave", onLeave); }
    void OnCovered(WeAbstractPhase* newTop) override { Step("OnCovered(" + NameOf(newTop) + ")", onCovered); }
    void OnUncovered(WeAbstractPhase* removed) override { Step("OnUncovered(" + NameOf(removed) + ")", onUncovered); }
    void HandleInput() override { Step("HandleInput", onHandleInput); }
    void Update() override { Step("Update", onUpdate); }
    void Render() override { Step("Render", nullptr); }

    static std::string NameOf(WeAbstractPhase* phase)
    {
        return phase != nullptr ? static_cast<RecordingPhase*>(phase)->m_Name : "null";
    }

    std::function<void()> onEnter, onLeave, onCovered, onUncovered, onHandleInput, onUpdate;

private:
    void Step(const std::string& step, const std::function<void()>& hook)
    {
        Log(m_Name + "." + step);
        if (hook)
            hook();
    }

    std::string m_Name;
};

class WePhaseManagerTest : public testing::Test
{
protected:
    void SetUp() override { g_Log.clear(); }

    // Sets up a stack silently.
    void Stack(std::initializer_list<RecordingPhase*> phases)
    {
        for (RecordingPhase* p : phases)
            m_Manager.RequestPhase(p, WePhaseManager::PushRequest);
        m_Manager.ProcessRequests();
        g_Log.clear();
    }

    WePhaseManager m_Manager;
    RecordingPhase a{"A"}, b{"B"}, c{"C"};
};

struct Script
{
    const char* name;
    int stacked;                                 // how many of A, B, C are pushed first
    std::vector<std::pair<int, char>> requests;  // operation, phase letter ('-' for none)
    const char* expected;
    int count;
};

}  // namespace

TEST_F(WePhaseManagerTest, RequestScriptsGiveTheirCalls)
{
    const Script scripts[] = {
        {"change on an empty stack", 0, {{0, 'A'}}, "A.Enter", 1},
        {"change replaces the top only", 2, {{0, 'C'}}, "B.Leave C.Enter", 2},
        {"push covers the top first", 1, {{1, 'B'}}, "A.OnCovered(B) B.Enter", 2},
        {"pop of the last phase", 1, {{2, '-'}}, "A.Leave", 0},
        {"pop uncovers with the removed phase", 2, {{2, '-'}}, "B.Leave A.OnUncovered(B)", 1},
        {"push then pop in one call", 1, {{1, 'B'}, {2, '-'}}, "A.OnCovered(B) B.Enter B.Leave A.OnUncovered(B)", 1},
        {"requests apply in posting order",
         0,
         {{1, 'A'}, {1, 'B'}, {0, 'C'}},
         "A.Enter A.OnCovered(B) B.Enter B.Leave C.Enter",
         2},
        {"pop on an empty stack", 0, {{2, '-'}}, "", 0},
        {"pop ignores its phase", 2, {{2, 'C'}}, "B.Leave A.OnUncovered(B)", 1},
        {"null change and push are dropped", 1, {{0, '-'}, {1, '-'}}, "", 1},
        {"unknown operation is dropped", 1, {{7, 'B'}}, "", 1},
    };
    for (const Script& script : scripts)
    {
        SCOPED_TRACE(script.name);
        WePhaseManager manager;
        RecordingPhase* phases[] = {&a, &b, &c};
        for (int i = 0; i < script.stacked; ++i)
            manager.RequestPhase(phases[i], WePhaseManager::PushRequest);
        manager.ProcessRequests();
        g_Log.clear();
        for (auto [operation, letter] : script.requests)
            manager.RequestPhase(letter == '-' ? nullptr : phases[letter - 'A'], operation);
        EXPECT_EQ(g_Log, "") << "a request must not apply before ProcessRequests";
        manager.ProcessRequests();
        EXPECT_EQ(g_Log, script.expected);
        EXPECT_EQ(manager.GetPhaseCount(), script.count);
        EXPECT_EQ(manager.GetRequestCount(), 0);
        manager.Shutdown();
    }
}

TEST_F(WePhaseManagerTest, RequestsPostedFromTheSlotsApplyInTheSameCall)
{
    // A phase that replaces itself from its own Enter; B, pushed, pops itself when uncovered... and the
    // new phase requests again from its Leave.
    a.onEnter = [&] { m_Manager.RequestPhase(&b, WePhaseManager::ChangeRequest); };
    b.onLeave = [&] { m_Manager.RequestPhase(&c, WePhaseManager::PushRequest); };
    m_Manager.RequestPhase(&a, WePhaseManager::ChangeRequest);
    m_Manager.ProcessRequests();
    EXPECT_EQ(g_Log, "A.Enter A.Leave B.Enter");
    EXPECT_EQ(m_Manager.GetTopPhase(), &b);

    g_Log.clear();
    m_Manager.RequestPhase(nullptr, WePhaseManager::PopRequest);
    m_Manager.ProcessRequests();
    // B's Leave posted a push of C, applied in the same call onto the emptied stack.
    EXPECT_EQ(g_Log, "B.Leave C.Enter");
    EXPECT_EQ(m_Manager.GetTopPhase(), &c);
    EXPECT_EQ(m_Manager.GetPhaseCount(), 1);
    b.onLeave = nullptr;
    m_Manager.Shutdown();
}

TEST_F(WePhaseManagerTest, TickRunsInputTopDownThenUpdateBottomUpAndRenderBottomUp)
{
    Stack({&a, &b, &c});
    m_Manager.Tick();
    EXPECT_EQ(g_Log, "C.HandleInput B.HandleInput A.HandleInput A.Update B.Update C.Update");
    g_Log.clear();
    m_Manager.Render();
    EXPECT_EQ(g_Log, "A.Render B.Render C.Render");
    m_Manager.Shutdown();
}

TEST_F(WePhaseManagerTest, TopPhaseQueryWorksFromInsideAWalk)
{
    Stack({&a, &b});
    std::string seen;
    // Asked by every phase in both walks; the walks must neither disturb nor depend on it.
    auto ask = [&] { seen += RecordingPhase::NameOf(m_Manager.GetTopPhase()); };
    a.onHandleInput = b.onHandleInput = a.onUpdate = b.onUpdate = ask;
    m_Manager.Tick();
    EXPECT_EQ(seen, "BBBB");
    EXPECT_EQ(g_Log, "B.HandleInput A.HandleInput A.Update B.Update");
    // A request posted from the walk changes nothing until the next ProcessRequests.
    g_Log.clear();
    a.onUpdate = [&] { m_Manager.RequestPhase(nullptr, WePhaseManager::PopRequest); };
    m_Manager.Tick();
    EXPECT_EQ(m_Manager.GetTopPhase(), &b);
    m_Manager.ProcessRequests();
    EXPECT_EQ(m_Manager.GetTopPhase(), &a);
    a.onHandleInput = b.onHandleInput = a.onUpdate = b.onUpdate = nullptr;
    m_Manager.Shutdown();
}

TEST_F(WePhaseManagerTest, ShutdownLeavesTopDownAndDropsEveryRequest)
{
    Stack({&a, &b, &c});
    m_Manager.RequestPhase(&a, WePhaseManager::PushRequest);  // left over from the pass
    // A Leave that posts must not carry its request into the next pass either.
    b.onLeave = [&] { m_Manager.RequestPhase(&c, WePhaseManager::ChangeRequest); };
    m_Manager.Shutdown();
    EXPECT_EQ(g_Log, "C.Leave B.Leave A.Leave");
    EXPECT_EQ(m_Manager.GetPhaseCount(), 0);
    EXPECT_EQ(m_Manager.GetTopPhase(), nullptr);
    EXPECT_EQ(m_Manager.GetRequestCount(), 0);

    // The next pass starts from its own first request only.
    g_Log.clear();
    b.onLeave = nullptr;
    m_Manager.RequestPhase(&b, WePhaseManager::PushRequest);
    m_Manager.ProcessRequests();
    EXPECT_EQ(g_Log, "B.Enter");
    m_Manager.Shutdown();
}

TEST_F(WePhaseManagerTest, PhasesByIndexFromTheBottom)
{
    Stack({&a, &b, &c});
    EXPECT_EQ(m_Manager.GetPhaseAt(0), &a);
    EXPECT_EQ(m_Manager.GetPhaseAt(1), &b);
    EXPECT_EQ(m_Manager.GetPhaseAt(2), &c);
    EXPECT_EQ(m_Manager.GetPhaseAt(3), nullptr);
    EXPECT_EQ(m_Manager.GetPhaseAt(-1), nullptr);
    m_Manager.Shutdown();
    EXPECT_EQ(m_Manager.GetPhaseAt(0), nullptr);
}

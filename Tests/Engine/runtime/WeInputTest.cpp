#include "Engine/runtime/WeInput.h"
#include "Engine/runtime/WeEngine.h"

#include "Tests/Engine/runtime/RecordingDevices.h"
#include "Tests/Engine/runtime/ScriptedDirectInput.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace
{
ScriptedDirectInput* g_Root = nullptr;

HRESULT CreateScripted(HINSTANCE, DWORD version, const GUID& iid, void** out, void*)
{
    *out = nullptr;
    if (g_Root == nullptr || version != DIRECTINPUT_VERSION || !(iid == IID_IDirectInput8A))
        return DIERR_GENERIC;
    g_Root->references = 1;
    *out = g_Root;
    return DI_OK;
}

std::string Join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : " ") + item;
    return text;
}

class WeInputTest : public testing::Test
{
public:
    void SetUp() override
    {
        g_Root = &m_Root;
        m_Input.m_Creator = CreateScripted;
        g_Engine.SetDevices(&m_Ui);
        g_Engine.m_ErrorText = "";
        g_Engine.m_Window = nullptr;
        g_Engine.m_MouseX = g_Engine.m_MouseY = 0;
    }
    void TearDown() override
    {
        m_Input.Shutdown();
        g_Engine.SetDevices(nullptr);
        g_Root = nullptr;
    }

    void Start(bool useJoystick = true)
    {
        ASSERT_TRUE(m_Input.Init(useJoystick));
        m_Root.log.clear();
    }

    // What the devices hold from now on.
    void Keys(std::initializer_list<int> held)
    {
        std::fill(m_Root.keyboard.state.begin(), m_Root.keyboard.state.end(), 0);
        for (int key : held)
            m_Root.keyboard.state[key] = 0x80;
    }
    void Mouse(std::initializer_list<int> held, LONG x = 0, LONG y = 0, LONG z = 0)
    {
        DIMOUSESTATE2 state = {x, y, z, {}};
        for (int button : held)
            state.rgbButtons[button] = 0x80;
        std::memcpy(m_Root.mouse.state.data(), &state, sizeof(state));
    }
    void Pad(std::initializer_list<int> held, LONG x = 0x7FFF, LONG y = 0x7FFF, LONG z = 0x7FFF)
    {
        DIJOYSTATE2 state = {};
        state.lX = x;
        state.lY = y;
        state.lZ = z;
        for (int button : held)
            state.rgbButtons[button] = 0x80;
        std::memcpy(m_Root.joystick.state.data(), &state, sizeof(state));
    }

    // One engine tick of input: the frame cleared, polled when usable, and what came of it.
    std::string Frame(bool usable = true)
    {
        m_Ui.Clear();
        m_Input.ClearFrame();
        if (usable)
            m_Input.Poll();
        return Summary();
    }

    std::string Summary() const
    {
        auto list = [&](const uint8_t* states)
        {
            std::vector<std::string> set;
            for (int i = 0; i < WeInput::StateCount; ++i)
            {
                if (!states[i])
                    continue;
                if (i < WeInput::MouseButtonBase)
                    set.push_back("k" + std::to_string(i));
                else if (i < WeInput::JoystickButtonBase)
                    set.push_back("m" + std::to_string(i - WeInput::MouseButtonBase));
                else
                    set.push_back("j" + std::to_string(i - WeInput::JoystickButtonBase));
            }
            return "[" + Join(set) + "]";
        };
        std::string text = "down=" + list(m_Input.m_Down) + " edges=" + list(m_Input.m_Edges) +
                           " pending=" + std::to_string(m_Input.m_PendingEdges);
        const int32_t* motion = m_Input.m_MouseMotion;
        if (motion[0] != 0 || motion[1] != 0 || motion[2] != 0)
            text += " motion=" + std::to_string(motion[0]) + "," + std::to_string(motion[1]) + "," +
                    std::to_string(motion[2]);
        const int32_t* axes = m_Input.m_JoystickAxes;
        if (axes[0] != 0x7FFF || axes[1] != 0x7FFF || axes[2] != 0x7FFF)
            text += " axes=" + std::to_string(axes[0]) + "," + std::to_string(axes[1]) + "," + std::to_string(axes[2]);
        return text + " ui=[" + m_Ui.Log() + "]";
    }

    struct Step
    {
        std::function<void(WeInputTest&)> set;
        bool usable;
        const char* expected;
    };
    struct Script
    {
        const char* name;
        std::vector<Step> steps;
    };

    ScriptedDirectInput m_Root;
    RecordingDevices m_Ui;
    WeInput m_Input;
};

constexpr const char* Move = "MouseMove(0,0,0)";

std::string Ui(const std::string& events)
{
    return " ui=[" + events + "]";
}

}  // namespace

TEST_F(WeInputTest, FrameScriptsGiveTheirStatesEdgesAndEvents)
{
    using T = WeInputTest;
    auto nothing = [](T&) {};
    const std::string idle = std::string("down=[] edges=[] pending=0") + Ui(Move);
    const Script scripts[] = {
        {"a held key gives one press edge, in its first frame",
         {{[](T& t) { t.Keys({30}); }, true, "down=[k30] edges=[k30] pending=1 ui=[KeyDown(30) MouseMove(0,0,0)]"},
          {nothing, true, "down=[k30] edges=[] pending=0 ui=[MouseMove(0,0,0)]"},
          {[](T& t) { t.Keys({}); }, true, "down=[] edges=[] pending=0 ui=[KeyUp(30) MouseMove(0,0,0)]"}}},
        {"a button gives its edge on release",
         {{[](T& t) { t.Mouse({1}); }, true, "down=[m1] edges=[] pending=0 ui=[MouseMove(0,0,0) MouseDown(1)]"},
          {nothing, true, "down=[m1] edges=[] pending=0 ui=[MouseMove(0,0,0)]"},
          {[](T& t) { t.Mouse({}); }, true, "down=[] edges=[m1] pending=1 ui=[MouseMove(0,0,0) MouseUp(1)]"}}},
        {"an unpolled tick makes a held key new and hides a release edge, but the UI hears the release",
         {{[](T& t)
           {
               t.Keys({30});
               t.Mouse({0});
           },
           true, "down=[k30 m0] edges=[k30] pending=1 ui=[KeyDown(30) MouseMove(0,0,0) MouseDown(0)]"},
          {nothing, false, "down=[] edges=[] pending=0 ui=[]"},
          {[](T& t) { t.Mouse({}); }, true,
           "down=[k30] edges=[k30] pending=1 ui=[KeyDown(30) MouseMove(0,0,0) MouseUp(0)]"},
          {nothing, false, "down=[] edges=[] pending=0 ui=[]"},
          {[](T& t) { t.Keys({}); }, true, "down=[] edges=[] pending=0 ui=[KeyUp(30) MouseMove(0,0,0)]"},
          {nothing, true, idle.c_str()}}},
        {"a move on every mouse poll, none when the mouse read failed",
         {{nothing, true, idle.c_str()},
          {[](T& t) { t.Mouse({}, 3, -4, 0); }, true, "down=[] edges=[] pending=0 motion=3,-4,0 ui=[MouseMove(0,0,0)]"},
          {[](T& t)
           {
               t.m_Root.mouse.reads = {DIERR_GENERIC};
               t.Keys({57});
           },
           true, "down=[k57] edges=[k57] pending=1 ui=[KeyDown(57)]"}}},
        {"keys in code order, then the move, then buttons 0 to 7",
         {{[](T& t)
           {
               t.Keys({200, 57, 30});
               t.Mouse({7, 2, 0}, 5, -3, 120);
           },
           true,
           "down=[k30 k57 k200 m0 m2 m7] edges=[k30 k57 k200] pending=3 motion=5,-3,120 ui=[KeyDown(30) "
           "KeyDown(57) KeyDown(200) MouseMove(0,0,120) MouseDown(0) MouseDown(2) MouseDown(7)]"}}},
        {"lost devices come back with what is held now, not what was held before",
         {{[](T& t)
           {
               t.Keys({30});
               t.Mouse({0}, 10, 0, 0);
           },
           true, "down=[k30 m0] edges=[k30] pending=1 motion=10,0,0 ui=[KeyDown(30) MouseMove(0,0,0) MouseDown(0)]"},
          // Focus lost: both reads report it once; the UI is told of the releases it will not see.
          {[](T& t)
           {
               t.m_Root.keyboard.reads = {DIERR_INPUTLOST};
               t.m_Root.mouse.reads = {DIERR_INPUTLOST};
           },
           true, "down=[] edges=[] pending=0 ui=[KeyUp(30) MouseUp(0)]"},
          // In the background: not acquired, and acquiring is refused.
          {[](T& t)
           {
               t.m_Root.keyboard.reads = {DIERR_NOTACQUIRED};
               t.m_Root.mouse.reads = {DIERR_NOTACQUIRED};
               t.m_Root.keyboard.acquireResult = DIERR_OTHERAPPHASPRIO;
               t.m_Root.mouse.acquireResult = DIERR_OTHERAPPHASPRIO;
           },
           true, "down=[] edges=[] pending=0 ui=[]"},
          // Back in front, everything released meanwhile: nothing phantom, no repeated motion.
          {[](T& t)
           {
               t.m_Root.keyboard.reads = {DIERR_NOTACQUIRED};
               t.m_Root.mouse.reads = {DIERR_NOTACQUIRED};
               t.m_Root.keyboard.acquireResult = DI_OK;
               t.m_Root.mouse.acquireResult = DI_OK;
               t.Keys({});
               t.Mouse({});
           },
           true, idle.c_str()},
          {nothing, true, idle.c_str()}}},
        {"a device acquired again but not readable counts as unread",
         {{[](T& t)
           {
               t.m_Root.keyboard.reads = {DIERR_NOTACQUIRED, DIERR_INPUTLOST};
               t.Keys({30});
           },
           true, "down=[] edges=[] pending=0 ui=[MouseMove(0,0,0)]"},
          {nothing, true, "down=[k30] edges=[k30] pending=1 ui=[KeyDown(30) MouseMove(0,0,0)]"}}},
        {"a key held through a focus loss is pressed anew when it comes back",
         {{[](T& t) { t.Keys({17}); }, true, "down=[k17] edges=[k17] pending=1 ui=[KeyDown(17) MouseMove(0,0,0)]"},
          {[](T& t) { t.m_Root.keyboard.reads = {DIERR_INPUTLOST}; }, true,
           "down=[] edges=[] pending=0 ui=[KeyUp(17) MouseMove(0,0,0)]"},
          {nothing, true, "down=[k17] edges=[k17] pending=1 ui=[KeyDown(17) MouseMove(0,0,0)]"}}},
        {"no controller: axes centred and no joystick states",
         {{[](T& t) {
               t.Pad({0, 5}, 0, 65535, 100);
           },
           true, idle.c_str()}}},
    };
    for (const Script& script : scripts)
    {
        SCOPED_TRACE(script.name);
        ScriptedDirectInput root;
        g_Root = &root;
        WeInputTest* self = this;
        // Each script runs on fresh devices.
        m_Input.Shutdown();
        m_Root.keyboard.reads.clear();
        m_Root.mouse.reads.clear();
        m_Root.keyboard.acquireResult = m_Root.mouse.acquireResult = DI_OK;
        Keys({});
        Mouse({});
        g_Root = &m_Root;
        Start();
        int index = 0;
        for (const Step& step : script.steps)
        {
            SCOPED_TRACE(++index);
            step.set(*self);
            EXPECT_EQ(Frame(step.usable), step.expected);
        }
    }
}

TEST_F(WeInputTest, ControllerButtonsGiveReleaseEdgesAndAxes)
{
    m_Root.controllers = 2;
    m_Root.creatableController = 1;  // the first attached one cannot be opened: the next is taken
    ASSERT_TRUE(m_Input.Init(true));
    EXPECT_EQ(Join(m_Root.log), "root.Create(keyboard) root.Create(mouse) root.Enum(4,1) root.Create(controller0) "
                                "failed root.Create(controller1) joystick.Format(272) joystick.Level(6) "
                                "joystick.Acquire keyboard.Format(256) keyboard.Level(22) mouse.Format(20) "
                                "mouse.Level(6) keyboard.Buffer(16) keyboard.Acquire mouse.Acquire");
    ASSERT_EQ(m_Input.m_Joystick, &m_Root.joystick);
    Pad({3}, 0, 65535, 100);
    EXPECT_EQ(Frame(), "down=[j3] edges=[] pending=0 axes=0,65535,100" + Ui(Move));
    Pad({});
    EXPECT_EQ(Frame(), "down=[] edges=[j3] pending=1" + Ui(Move));
    EXPECT_FALSE(m_Input.ConsumeJoystickButton(128));
    EXPECT_FALSE(m_Input.ConsumeJoystickButton(-1));
    EXPECT_TRUE(m_Input.ConsumeJoystickButton(3));
    EXPECT_FALSE(m_Input.ConsumeJoystickButton(3));
    EXPECT_EQ(m_Input.m_PendingEdges, 0);
    // A lost controller is acquired again like the others.
    m_Root.joystick.reads = {DIERR_INPUTLOST};
    Pad({}, 1, 2, 3);
    EXPECT_EQ(Frame(), "down=[] edges=[] pending=0" + Ui(Move));
    EXPECT_EQ(m_Input.m_JoystickLost, 1);
    EXPECT_EQ(Frame(), "down=[] edges=[] pending=0 axes=1,2,3" + Ui(Move));
    EXPECT_EQ(m_Input.m_JoystickLost, 0);
}

TEST_F(WeInputTest, AControllerThatRefusesItsSetUpIsForgotten)
{
    for (int refusal = 0; refusal < 2; ++refusal)
    {
        SCOPED_TRACE(refusal);
        m_Root.controllers = 1;
        m_Root.joystick.formatResult = refusal == 0 ? DIERR_INVALIDPARAM : DI_OK;
        m_Root.joystick.levelResult = refusal == 1 ? DIERR_INVALIDPARAM : DI_OK;
        m_Root.log.clear();
        ASSERT_TRUE(m_Input.Init(true));
        EXPECT_EQ(m_Input.m_Joystick, nullptr);
        EXPECT_EQ(m_Root.joystick.references, 0);
        EXPECT_EQ(g_Engine.m_ErrorText, "");
        m_Input.AcquireJoystick(true);  // nothing without a controller
        m_Input.SetJoystickExclusive(true);
        m_Input.Shutdown();
    }
    // Not wanted: not even looked for.
    m_Root.log.clear();
    ASSERT_TRUE(m_Input.Init(false));
    EXPECT_EQ(Join(m_Root.log).find("Enum"), std::string::npos);
}

TEST_F(WeInputTest, ConsumeTakesAnEdgeOnceAndRefusesEveryIndexOutOfRange)
{
    Start();
    Keys({30, 255});
    Mouse({0});
    Frame();
    EXPECT_TRUE(m_Input.ConsumeKey(255));
    EXPECT_EQ(m_Input.m_PendingEdges, 1);
    Mouse({});
    Frame();  // the keys are held (no edge), the button's release edge is set
    EXPECT_EQ(m_Input.m_PendingEdges, 1);
    Keys({31});
    Frame();
    EXPECT_EQ(m_Input.m_PendingEdges, 1);         // key 31 pressed
    EXPECT_FALSE(m_Input.ConsumeMouseButton(0));  // the release edge lived for one frame
    struct Case
    {
        int32_t code;
        bool expected;
    };
    for (Case c : {Case{-31, false}, Case{-1, false}, Case{256, false}, Case{1000, false}, Case{30, false},
                   Case{31, true}, Case{31, false}})
    {
        EXPECT_EQ(m_Input.ConsumeKey(c.code), c.expected) << c.code;
    }
    EXPECT_EQ(m_Input.m_PendingEdges, 0);
    EXPECT_FALSE(m_Input.ConsumeMouseButton(8));
    EXPECT_FALSE(m_Input.ConsumeMouseButton(-1));
}

TEST_F(WeInputTest, ModifiersComeFromEitherKey)
{
    Start();
    struct Case
    {
        int key;
        uint8_t alt, ctrl, shift;
    };
    for (Case c : {Case{29, 0, 1, 0}, Case{157, 0, 1, 0}, Case{42, 0, 0, 1}, Case{54, 0, 0, 1}, Case{56, 1, 0, 0},
                   Case{184, 1, 0, 0}, Case{30, 0, 0, 0}})
    {
        Keys({c.key});
        Frame();
        EXPECT_EQ(m_Input.m_Alt, c.alt) << c.key;
        EXPECT_EQ(m_Input.m_Ctrl, c.ctrl) << c.key;
        EXPECT_EQ(m_Input.m_Shift, c.shift) << c.key;
    }
    // A frame whose keyboard read failed has no modifier held either.
    Keys({42});
    Frame();
    m_Root.keyboard.reads = {DIERR_GENERIC};
    Frame();
    EXPECT_EQ(m_Input.m_Shift, 0);
}

TEST_F(WeInputTest, StartUpFailuresLeaveTheirTextAndNothingOpen)
{
    struct Case
    {
        const char* name;
        std::function<void(ScriptedDirectInput&)> fail;
        const char* text;
        const char* log;
    };
    const Case cases[] = {
        {"root", [](ScriptedDirectInput&) { g_Root = nullptr; }, "Error: Cannot initialize DirectInput", ""},
        {"keyboard", [](ScriptedDirectInput& r) { r.keyboardCreates = false; }, "Error: Cannot create keyboard device",
         "root.Create(keyboard) failed root.Release"},
        {"mouse", [](ScriptedDirectInput& r) { r.mouseCreates = false; }, "Error: Cannot create mouse device",
         "root.Create(keyboard) root.Create(mouse) failed keyboard.Unacquire keyboard.Release root.Release"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ScriptedDirectInput root;
        g_Root = &root;
        c.fail(root);
        g_Engine.m_ErrorText = "";
        EXPECT_FALSE(m_Input.Init(true));
        EXPECT_EQ(g_Engine.m_ErrorText, c.text);
        EXPECT_EQ(Join(root.log), c.log);
        EXPECT_EQ(root.references, 0);
        EXPECT_EQ(root.keyboard.references, 0);
        EXPECT_EQ(m_Input.m_Keyboard, nullptr);
        EXPECT_EQ(m_Input.m_Mouse, nullptr);
        EXPECT_EQ(m_Input.m_DirectInput, nullptr);
        // Not started: every operation does nothing.
        root.log.clear();
        m_Ui.Clear();
        m_Input.ClearFrame();
        m_Input.Poll();
        m_Input.AcquireKeyboard(true);
        m_Input.AcquireMouse(true);
        m_Input.SetMouseExclusive(true);
        m_Input.SetKeyboardExclusive(true);
        m_Input.Shutdown();
        EXPECT_EQ(Join(root.log), "");
        EXPECT_EQ(m_Ui.Log(), "");
    }
}

TEST_F(WeInputTest, TwoPassesStartAfresh)
{
    Start();
    ASSERT_TRUE(m_Input.Init(true));  // a second Init after success touches nothing
    EXPECT_EQ(Join(m_Root.log), "");
    Keys({30});
    Frame();
    m_Input.Shutdown();
    EXPECT_EQ(Join(m_Root.log), "keyboard.Unacquire mouse.Unacquire keyboard.Release mouse.Release root.Release");
    EXPECT_EQ(m_Root.references, 0);
    EXPECT_EQ(m_Root.keyboard.references, 0);
    EXPECT_EQ(m_Root.mouse.references, 0);
    // After Shutdown nothing reaches the devices.
    m_Root.log.clear();
    int reads = m_Root.keyboard.readCount;
    EXPECT_EQ(Frame(), "down=[] edges=[] pending=0 ui=[]");
    m_Input.Shutdown();
    EXPECT_EQ(m_Root.keyboard.readCount, reads);
    EXPECT_EQ(Join(m_Root.log), "");

    // The second pass: the key still held is a new press.
    Start();
    EXPECT_EQ(Frame(), "down=[k30] edges=[k30] pending=1 ui=[KeyDown(30) MouseMove(0,0,0)]");
}

TEST_F(WeInputTest, TheSlotsSetLevelsAndAcquireOnTheDevices)
{
    Start();
    m_Input.SetMouseExclusive(true);
    m_Input.SetKeyboardExclusive(false);
    m_Input.AcquireMouse(false);
    m_Input.AcquireKeyboard(true);
    EXPECT_EQ(Join(m_Root.log), "mouse.Level(5) keyboard.Level(6) mouse.Unacquire keyboard.Acquire");
}

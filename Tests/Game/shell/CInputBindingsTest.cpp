#include "Game/shell/CInputBindings.h"
#include "Engine/foundation/WeFileStream.h"
#include "Engine/runtime/WeInput.h"
#include "Game/shell/CInputMessage.h"
#include "Tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
class CInputBindingsFill : public ::testing::Test
{
protected:
    void SetUp() override { std::memset(g_Input.m_Down, 0, sizeof(g_Input.m_Down)); }
    void TearDown() override { std::memset(g_Input.m_Down, 0, sizeof(g_Input.m_Down)); }
    // The thirteen flags in message order.
    static std::string Flags(const CInputMessage& m)
    {
        const uint8_t flags[13] = {m.m_Forward,  m.m_Backward,     m.m_RotateLeft,   m.m_RotateRight, m.m_FireWeapon,
                                   m.m_FireMine, m.m_Turbo,        m.m_LookLeft,     m.m_LookRight,   m.m_LookUp,
                                   m.m_LookDown, m.m_ChangeCamera, m.m_ReverseCamera};
        std::string text;
        for (uint8_t f : flags)
            text += f != 0 ? '1' : '0';
        return text;
    }
};

std::string ReadAll(const std::string& path)
{
    return ScratchFolder::Read(path);
}

void ExpectSame(const CInputBindings& a, const CInputBindings& b)
{
    EXPECT_EQ(a.showCrosshair, b.showCrosshair);
    EXPECT_EQ(a.invertMouse, b.invertMouse);
    for (int32_t i = 0; i < CInputBindings::EntryCount; ++i)
    {
        EXPECT_EQ(a.entries[i].code, b.entries[i].code) << i;
        EXPECT_EQ(a.entries[i].isMouse, b.entries[i].isMouse) << i;
        EXPECT_EQ(a.entries[i].isJoystick, b.entries[i].isJoystick) << i;
    }
}
}  // namespace

TEST_F(CInputBindingsFill, DefaultsDriveOneFlagEach)
{
    const CInputBindings bindings;
    CInputMessage message;
    message.m_LookX = 5;
    EXPECT_EQ(bindings.FillInputMessage(&message), &message);
    EXPECT_EQ(Flags(message), "0000000000000");

    struct Case
    {
        int32_t index;  // into the down table
        const char* flags;
    };
    const Case cases[] = {
        {17, "1000000000000"},                               // W: forward
        {31, "0100000000000"},                               // S
        {30, "0010000000000"},                               // A
        {32, "0001000000000"},                               // D
        {WeInput::MouseButtonBase + 0, "0000100000000"},     // left button: fire weapon
        {WeInput::MouseButtonBase + 1, "0000010000000"},     // right button: fire mine
        {15, "0000001000000"},                               // Tab: turbo
        {1, "0000000000000"},                                // Escape: nothing
        {16, "0000000100000"},                               // Q
        {18, "0000000010000"},                               // E
        {208, "0000000001000"},                              // down arrow: look up
        {200, "0000000000100"},                              // up arrow: look down
        {46, "0000000000010"},                               // C
        {19, "0000000000001"},                               // R
        {WeInput::JoystickButtonBase + 0, "0000000000000"},  // no joystick binding by default
    };
    for (const Case& c : cases)
    {
        std::memset(g_Input.m_Down, 0, sizeof(g_Input.m_Down));
        g_Input.m_Down[c.index] = 0x80;
        bindings.FillInputMessage(&message);
        EXPECT_EQ(Flags(message), c.flags) << "down " << c.index;
    }
    // The down byte is stored as it is, and the look values stay.
    g_Input.m_Down[19] = 0x80;
    bindings.FillInputMessage(&message);
    EXPECT_EQ(message.m_ReverseCamera, 0x80);
    EXPECT_EQ(message.m_LookX, 5);
    EXPECT_EQ(bindings.FillInputMessage(nullptr), nullptr);
}

TEST_F(CInputBindingsFill, DeviceChoiceAndCodesOutOfRange)
{
    CInputBindings bindings;
    CInputMessage message;
    // Both flags: the mouse wins.
    bindings.entries[CInputBindings::MoveForward] = {3, 1, 1};
    g_Input.m_Down[WeInput::JoystickButtonBase + 3] = 0x80;
    bindings.FillInputMessage(&message);
    EXPECT_EQ(message.m_Forward, 0);
    g_Input.m_Down[WeInput::MouseButtonBase + 3] = 0x80;
    bindings.FillInputMessage(&message);
    EXPECT_EQ(message.m_Forward, 0x80);

    // A code outside its device's table reads as not pressed, even where another table's byte lies.
    std::memset(g_Input.m_Down, 0x80, sizeof(g_Input.m_Down));
    const CInputBindings::Binding bad[] = {{8, 1, 0},   {-1, 1, 0}, {128, 0, 1},    {-5, 0, 1},
                                           {256, 0, 0}, {-1, 0, 0}, {1 << 30, 0, 0}};
    for (const CInputBindings::Binding& binding : bad)
    {
        bindings.entries[CInputBindings::MoveBackward] = binding;
        message.m_Backward = 7;
        bindings.FillInputMessage(&message);
        EXPECT_EQ(message.m_Backward, 0) << binding.code << " " << int(binding.isMouse) << int(binding.isJoystick);
        EXPECT_FALSE(bindings.IsDown(CInputBindings::MoveBackward));
    }
    // The last valid code of each table reads.
    bindings.entries[CInputBindings::MoveBackward] = {127, 0, 1};
    EXPECT_TRUE(bindings.IsDown(CInputBindings::MoveBackward));
    bindings.entries[CInputBindings::MoveBackward] = {255, 0, 0};
    EXPECT_TRUE(bindings.IsDown(CInputBindings::MoveBackward));
}

TEST(CInputBindingsRecord, SavedBytesAndRoundTrip)
{
    ScratchFolder scratch;
    CInputBindings bindings;
    for (int32_t i = 0; i < CInputBindings::EntryCount; ++i)
        bindings.entries[i] = {1000 + i, static_cast<uint8_t>(i % 2), static_cast<uint8_t>(i % 3 == 0)};
    bindings.invertMouse = 1;
    bindings.showCrosshair = 0;
    {
        WeFileStream stream;
        ASSERT_TRUE(stream.Create(scratch.Path("b.bin").c_str()));
        EXPECT_TRUE(bindings.Save(stream));
    }
    const std::string bytes = ReadAll(scratch.Path("b.bin"));
    ASSERT_EQ(bytes.size(), size_t(CInputBindings::RecordSize));
    auto int32At = [&](size_t at)
    {
        int32_t v = 0;
        std::memcpy(&v, bytes.data() + at, 4);
        return v;
    };
    EXPECT_EQ(int32At(0), 10);
    for (int32_t i = 0; i < 8; ++i)
    {
        EXPECT_EQ(int32At(4 + size_t(i) * 6), 1000 + i);
        EXPECT_EQ(bytes[4 + size_t(i) * 6 + 4], i % 2);
        EXPECT_EQ(bytes[4 + size_t(i) * 6 + 5], i % 3 == 0 ? 1 : 0);
    }
    EXPECT_EQ(bytes[52], 1);  // invertMouse between entries 7 and 8
    for (int32_t i = 8; i < 14; ++i)
        EXPECT_EQ(int32At(53 + size_t(i - 8) * 6), 1000 + i);
    EXPECT_EQ(bytes[89], 0);  // showCrosshair last

    CInputBindings loaded;
    {
        WeFileStream stream;
        ASSERT_TRUE(stream.Open(scratch.Path("b.bin").c_str()));
        loaded.Load(stream);
        EXPECT_EQ(stream.Tell(), 90);
    }
    ExpectSame(loaded, bindings);
}

// Below version 10 only the version is consumed; 10 and any higher value read the whole record.
TEST(CInputBindingsRecord, VersionGate)
{
    ScratchFolder scratch;
    CInputBindings source;
    source.entries[0].code = 77;
    source.invertMouse = 1;
    for (int32_t version : {9, 0, -3, 10, 99})
    {
        const std::string path = scratch.Path("v.bin");
        {
            WeFileStream stream;
            ASSERT_TRUE(stream.Create(path.c_str()));
            source.Save(stream);
            stream.Seek(0, 0);
            stream.WriteInt32(version);
            stream.WriteInt32(0);  // something after the version, read only by a full record
        }
        CInputBindings loaded;
        WeFileStream stream;
        ASSERT_TRUE(stream.Open(path.c_str()));
        loaded.Load(stream);
        if (version < 10)
        {
            EXPECT_EQ(stream.Tell(), 4) << version;
            EXPECT_EQ(loaded.entries[0].code, 17) << version;
            EXPECT_EQ(loaded.invertMouse, 0) << version;
        }
        else
        {
            EXPECT_EQ(stream.Tell(), 90) << version;
            EXPECT_EQ(loaded.entries[0].code, 0) << version;
            EXPECT_EQ(loaded.invertMouse, 1) << version;
        }
    }
}

// A record cut short reads zeros past the end: codes that bind nothing, and no read outside the file.
TEST(CInputBindingsRecord, TruncatedRecordReadsZeros)
{
    ScratchFolder scratch;
    const std::string path = scratch.Path("short.bin");
    {
        WeFileStream stream;
        ASSERT_TRUE(stream.Create(path.c_str()));
        stream.WriteInt32(10);
        stream.WriteInt32(44);
    }
    CInputBindings loaded;
    WeFileStream stream;
    ASSERT_TRUE(stream.Open(path.c_str()));
    loaded.Load(stream);
    EXPECT_EQ(loaded.entries[0].code, 44);
    EXPECT_EQ(loaded.entries[1].code, 0);
    EXPECT_EQ(loaded.showCrosshair, 0);
}

TEST(CInputBindings, DefaultsAndClone)
{
    CInputBindings bindings;
    EXPECT_EQ(bindings.showCrosshair, 1);
    EXPECT_EQ(bindings.invertMouse, 0);
    EXPECT_EQ(bindings.entries[CInputBindings::FireWeapon].isMouse, 1);
    EXPECT_EQ(bindings.entries[CInputBindings::FireMine].code, 1);
    EXPECT_EQ(bindings.entries[CInputBindings::Escape].code, 1);
    bindings.entries[CInputBindings::Escape] = {57, 0, 1};
    bindings.invertMouse = 1;
    bindings.showCrosshair = 0;
    CInputBindings* clone = bindings.Clone();
    EXPECT_EQ(clone->entries[CInputBindings::Escape].code, 57);
    EXPECT_EQ(clone->entries[CInputBindings::Escape].isJoystick, 1);
    EXPECT_EQ(clone->invertMouse, 1);
    EXPECT_EQ(clone->showCrosshair, 0);
    delete clone;
    bindings.SetDefaults();
    EXPECT_EQ(bindings.entries[CInputBindings::Escape].code, 1);
    EXPECT_EQ(bindings.showCrosshair, 1);
}

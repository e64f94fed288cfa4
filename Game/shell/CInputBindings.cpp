#include "Game/shell/CInputBindings.h"

#include "Engine/foundation/WeFileStream.h"
#include "Engine/runtime/WeInput.h"
#include "Game/shell/CInputMessage.h"

namespace
{
// The message flag each entry drives; Escape drives none.
uint8_t CInputMessage::*const FlagOfEntry[CInputBindings::EntryCount] = {
    &CInputMessage::m_Forward,      &CInputMessage::m_Backward,
    &CInputMessage::m_RotateLeft,   &CInputMessage::m_RotateRight,
    &CInputMessage::m_FireWeapon,   &CInputMessage::m_FireMine,
    &CInputMessage::m_Turbo,        nullptr,
    &CInputMessage::m_LookLeft,     &CInputMessage::m_LookRight,
    &CInputMessage::m_LookUp,       &CInputMessage::m_LookDown,
    &CInputMessage::m_ChangeCamera, &CInputMessage::m_ReverseCamera};

// The defaults: W, S, A, D, mouse 0 and 1, Tab, Escape, Q, E, down and up arrows (look up is the down arrow),
// C and R.
constexpr CInputBindings::Binding DefaultEntries[CInputBindings::EntryCount] = {
    {17, 0, 0}, {31, 0, 0}, {30, 0, 0}, {32, 0, 0},  {0, 1, 0},   {1, 1, 0},  {15, 0, 0},
    {1, 0, 0},  {16, 0, 0}, {18, 0, 0}, {208, 0, 0}, {200, 0, 0}, {46, 0, 0}, {19, 0, 0}};

// The down byte of a control; a code outside its device's table reads as not pressed.
uint8_t ReadDown(const CInputBindings::Binding& binding)
{
    if (binding.isMouse != 0)
        return binding.code >= 0 && binding.code < WeInput::MouseButtonCount
                   ? g_Input.m_Down[WeInput::MouseButtonBase + binding.code]
                   : 0;
    if (binding.isJoystick != 0)
        return binding.code >= 0 && binding.code < WeInput::JoystickButtonCount
                   ? g_Input.m_Down[WeInput::JoystickButtonBase + binding.code]
                   : 0;
    return binding.code >= 0 && binding.code < WeInput::KeyCount ? g_Input.m_Down[binding.code] : 0;
}

void WriteEntry(WeFileStream& stream, const CInputBindings::Binding& binding, bool& ok)
{
    ok = stream.WriteInt32(binding.code) && ok;
    ok = stream.WriteByte(static_cast<char>(binding.isMouse)) && ok;
    ok = stream.WriteByte(static_cast<char>(binding.isJoystick)) && ok;
}

void ReadEntry(WeFileStream& stream, CInputBindings::Binding& binding)
{
    binding.code = stream.ReadInt32();
    binding.isMouse = static_cast<uint8_t>(stream.ReadByte());
    binding.isJoystick = static_cast<uint8_t>(stream.ReadByte());
}
}  // namespace

CInputBindings::CInputBindings()
{
    SetDefaults();
}

void CInputBindings::SetDefaults()
{
    showCrosshair = 1;
    for (int32_t i = 0; i < EntryCount; ++i)
        entries[i] = DefaultEntries[i];
    invertMouse = 0;
}

CInputMessage* CInputBindings::FillInputMessage(CInputMessage* message) const
{
    if (message == nullptr)
        return nullptr;
    for (int32_t i = 0; i < EntryCount; ++i)
        if (FlagOfEntry[i] != nullptr)
            message->*FlagOfEntry[i] = ReadDown(entries[i]);
    return message;
}

bool CInputBindings::IsDown(int32_t entry) const
{
    return entry >= 0 && entry < EntryCount && ReadDown(entries[entry]) != 0;
}

bool CInputBindings::Save(WeFileStream& stream) const
{
    bool ok = stream.WriteInt32(RecordVersion);
    for (int32_t i = 0; i <= Escape; ++i)
        WriteEntry(stream, entries[i], ok);
    ok = stream.WriteByte(static_cast<char>(invertMouse)) && ok;
    for (int32_t i = Escape + 1; i < EntryCount; ++i)
        WriteEntry(stream, entries[i], ok);
    ok = stream.WriteByte(static_cast<char>(showCrosshair)) && ok;
    return ok;
}

void CInputBindings::Load(WeFileStream& stream)
{
    if (stream.ReadInt32() < RecordVersion)
        return;
    // A record cut short reads zeros past the end: codes that bind nothing.
    for (int32_t i = 0; i <= Escape; ++i)
        ReadEntry(stream, entries[i]);
    invertMouse = static_cast<uint8_t>(stream.ReadByte());
    for (int32_t i = Escape + 1; i < EntryCount; ++i)
        ReadEntry(stream, entries[i]);
    showCrosshair = static_cast<uint8_t>(stream.ReadByte());
}

CInputBindings* CInputBindings::Clone() const
{
    CInputBindings* copy = new CInputBindings();
    *copy = *this;
    return copy;
}

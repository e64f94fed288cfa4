#pragma once
#include <cstdint>

class CInputMessage;
class WeFileStream;

// Which key, mouse button or joystick button drives each player action, and two input preferences. The active
// set lives in the options; every profile saves a copy of its own. A plain record: copied and compared whole.
class CInputBindings
{
public:
    // One control: a mouse button when isMouse is set (it wins over isJoystick), else a joystick button when
    // isJoystick is set, else a keyboard key by its DirectInput code.
    struct Binding
    {
        int32_t code;
        uint8_t isMouse;
        uint8_t isJoystick;
    };

    // The fourteen entries. Escape drives no action: it is kept only so that the record stays whole.
    enum Entry : int32_t
    {
        MoveForward = 0,
        MoveBackward = 1,
        RotateLeft = 2,
        RotateRight = 3,
        FireWeapon = 4,
        FireMine = 5,
        Turbo = 6,
        Escape = 7,
        LookLeft = 8,
        LookRight = 9,
        LookUp = 10,
        LookDown = 11,
        ChangeCamera = 12,
        ReverseCamera = 13,
        EntryCount = 14
    };

    // The stored record: version, entries 0 to 7, invertMouse, entries 8 to 13, showCrosshair.
    static constexpr int32_t RecordVersion = 10;
    static constexpr int32_t RecordSize = 90;

    CInputBindings();

    void SetDefaults();
    // Stores the down byte of each bound control into its message flag; only those thirteen bytes are
    // written. A code outside its device's table reads as not pressed. Null in, null out.
    CInputMessage* FillInputMessage(CInputMessage* message) const;
    // Writes the record (always the current version). False when a write failed.
    bool Save(WeFileStream& stream) const;
    // Reads a record: below version 10 only the version is consumed and nothing changes.
    void Load(WeFileStream& stream);
    // A new heap copy; the caller owns it.
    CInputBindings* Clone() const;
    // Whether the control of an entry is down now (false for an entry or code out of range).
    bool IsDown(int32_t entry) const;

    uint8_t showCrosshair;
    Binding entries[EntryCount];
    uint8_t invertMouse;
};

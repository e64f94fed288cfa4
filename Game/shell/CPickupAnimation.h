#pragma once
#include <cstdint>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeString.h"

// A collected weapon's or ability's icon flying from the screen centre to its slot on the heads-up display,
// with a caption message and a spoken name. Every animation joins the live list when it is made and leaves
// it when it is destroyed; the race updates the list and deletes the finished ones, the display draws the
// rest.
class CPickupAnimation
{
public:
    CPickupAnimation();
    virtual ~CPickupAnimation();
    CPickupAnimation(const CPickupAnimation&) = delete;
    CPickupAnimation& operator=(const CPickupAnimation&) = delete;

    virtual void Update() {}
    virtual void Render() {}

    // The caption as a message with random animations in the default font and the caption colour.
    void ShowCaption();
    bool IsFinished() const { return m_Finished != 0; }

    // One update of every live animation, deleting those that finish.
    static void UpdateAll();
    static void RenderAll();
    // The race's end: every animation still alive goes.
    static void DeleteAll();
    static int32_t CountLive();

    WeString m_Caption;
    float m_CaptionColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    uint8_t m_Finished = 0;
};

extern WeList<CPickupAnimation*> g_PickupAnimations;

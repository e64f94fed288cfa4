#pragma once
#include <cstdint>

#include "Engine/foundation/WeString.h"

class WeFont;

// An animated screen text: it flies, fades or types itself in, holds, and leaves again. A placed text sits
// at a given position; a message takes one of the ten rows in the middle of the screen and gives it back
// when it is destroyed. Styles (the same numbers for in and out): 0 none, 1 fade, 2 fade and rise from the
// bottom (out: leave at the top), 3 fade and drop from the top (out: leave at the bottom), 4 fade and slide
// from the right (out: to the left), 5 fade and slide from the left (out: to the right), 106 typing
// (out: erasing), 206 a fading in (out: growing and fading in), 207 as 1 (out: no change); -1 picks one of
// 1 to 5 and 106 at random.
class CUberText
{
public:
    static constexpr int32_t MessageRowCount = 10;
    static constexpr int32_t RandomStyle = -1;
    static constexpr int32_t StateIdle = -1;
    static constexpr int32_t StateIn = 0;
    static constexpr int32_t StateHold = 1;
    static constexpr int32_t StateOut = 2;
    static constexpr int32_t StateDone = 3;

    // Placed at (x, y), fractions of the screen, measured in the default font.
    CUberText(const WeString& text, float x, float y, int32_t inStyle, int32_t outStyle);
    // A message in the first free row, centred; with no row free it is finished at once and never shown.
    CUberText(const WeString& text, int32_t inStyle, int32_t outStyle, WeFont* font);
    virtual ~CUberText();
    CUberText(const CUberText&) = delete;
    CUberText& operator=(const CUberText&) = delete;

    void SetInTime(float seconds) { m_InTime = seconds; }
    void SetOutTime(float seconds) { m_OutTime = seconds; }
    void SetHoldTime(float seconds) { m_HoldTime = seconds; }
    void SetFont(WeFont* font);
    WeFont* GetFont() const { return m_Font; }
    void SetFormat(int32_t flags) { m_Format = flags; }
    void SetShadow(bool shadow) { m_Shadow = shadow ? 1 : 0; }
    void SetColor(float r, float g, float b, float a);
    // Index 0 to 3 sets one key (start of in, end of in, end of hold, end of out); a larger index all four.
    void SetScaleKey(float value, int32_t index);

    void Update();
    void Draw();

    bool IsFinished() const { return m_Finished != 0; }
    int32_t GetState() const { return m_State; }
    int32_t GetRow() const { return m_Row; }
    int32_t GetInStyle() const { return m_InStyle; }
    int32_t GetOutStyle() const { return m_OutStyle; }
    const WeString& GetText() const { return m_Text; }
    const WeString& GetShownText() const { return m_ShownText; }
    float GetDrawnX() const { return m_DrawnX; }
    float GetDrawnY() const { return m_DrawnY; }
    float GetScale() const { return m_Scale; }
    float GetAlpha() const { return m_Alpha; }
    float GetWidth() const { return m_Width; }
    float GetHeight() const { return m_Height; }

    int32_t m_StyleSet = 0;
    int32_t m_InStyle = 0;
    int32_t m_OutStyle = 0;
    float m_InTime = 0.5f;
    float m_OutTime = 0.5f;
    float m_HoldTime = 2.0f;
    WeFont* m_Font = nullptr;
    float m_Color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    uint8_t m_Shadow = 1;
    uint8_t m_DefaultFont = 1;
    float m_X = 0.0f;
    float m_Y = 0.0f;
    WeString m_Text;
    float m_Width = 0.0f;
    float m_Height = 0.0f;
    int32_t m_State = StateIdle;
    WeString m_ShownText;
    float m_DrawnX = 0.0f;
    float m_DrawnY = 0.0f;
    float m_Elapsed = 0.0f;
    float m_Scale = 1.0f;
    float m_ScaleKeys[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int32_t m_Format = 0;
    int32_t m_Row = -1;
    uint8_t m_Finished = 0;
    // The animation's own opacity, multiplied into the colour's alpha so that a caller's alpha is kept.
    float m_Alpha = 1.0f;

    // The y of a message row.
    static float RowY(int32_t row) { return 0.3f + 0.02f * float(row + 1); }

private:
    static int32_t ResolveStyle(int32_t style);
    void Measure();
    void ShowAtHome();
    // The style's look at t (0 to 1) of the in or the out animation.
    void ApplyIn(float t);
    void ApplyOut(float t);
    // The first `count` characters (code points) of the text.
    void ShowPrefix(int32_t count);
    void EnterHold();
    void EnterOut();
    void Finish();
};

// The free flags of the message rows, all set at start.
extern uint8_t g_UberTextRowFree[CUberText::MessageRowCount];

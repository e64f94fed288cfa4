#pragma once
#include <cstdint>
#include <vector>

#include "Engine/ui/WeUIComponent.h"

class WeUIRect;
class WeUIText;

// A single-line text field: a caret and a selection (byte indices into the UTF-8 text, always on code point
// boundaries), editing keys, typing up to a maximum number of code points, and selection with the mouse.
// Keys arrive as the UI queue delivers them: DirectInput codes positive, typed characters as the negated
// UTF-16 code unit. The text does not scroll: a text wider than the field overflows it.
class WeUIEditBox : public WeUIComponent
{
public:
    static constexpr int32_t KeyEscape = 1;
    static constexpr int32_t KeyBackspace = 14;
    static constexpr int32_t KeyEnter = 28;
    static constexpr int32_t KeyPadEnter = 156;
    static constexpr int32_t KeyHome = 199;
    static constexpr int32_t KeyLeft = 203;
    static constexpr int32_t KeyRight = 205;
    static constexpr int32_t KeyEnd = 207;
    static constexpr int32_t KeyDelete = 211;

    WeUIEditBox(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);
    ~WeUIEditBox() override;

    void SetRect(float x, float y, float width, float height) override;
    void UpdateLayout() override;
    void Render() override;
    void OnFocus() override { m_Focused = 1; }
    void OnBlur() override { m_Focused = 0; }
    int32_t OnMouseDown(int32_t button) override;
    int32_t OnMouseMove(int32_t x, int32_t y, int32_t z) override;
    int32_t OnMouseUp(int32_t button) override;
    int32_t OnKeyDown(int32_t key) override;

    // Selects the whole text with the caret at its end.
    void MoveCaretToEnd();
    // The editing keys; false for any other key.
    bool HandleKey(int32_t key);
    // Replaces the text; caret and anchor at its end.
    void SetText(const WeString& text);
    const WeString& GetText() const;
    int32_t GetCaret() const { return m_CaretPos; }
    int32_t GetAnchor() const { return m_Anchor; }

    WeUIValueCallback m_OnEnter = nullptr;
    WeUIValueCallback m_OnEscape = nullptr;
    WeUIText* m_Text = nullptr;
    WeUIRect* m_Left = nullptr;
    WeUIRect* m_Middle = nullptr;
    WeUIRect* m_Right = nullptr;
    WeUIRect* m_Caret = nullptr;
    WeUIRect* m_Selection = nullptr;
    int32_t m_MaxLength = 30;
    uint8_t m_MouseSelecting = 0;
    uint8_t m_Focused = 0;
    int32_t m_CaretPos = 0;
    int32_t m_Anchor = 0;
    int32_t m_MouseIndex = 0;
    // Screen x of each byte's code point middle.
    std::vector<int32_t> m_Boundaries;

private:
    void Type(int32_t codePoint);
    // Removes the bytes [start, end) and puts the caret at start.
    void Erase(int32_t start, int32_t end);
    int32_t SelectionStart() const { return m_CaretPos < m_Anchor ? m_CaretPos : m_Anchor; }
    int32_t SelectionEnd() const { return m_CaretPos < m_Anchor ? m_Anchor : m_CaretPos; }
    int32_t TextWidth(const WeString& text) const;
    int32_t CodePointCount() const;
    // Clamps the caret, places caret and selection brush, rebuilds the boundaries; with anchorFollows the
    // selection collapses onto the caret.
    void UpdateCaret(bool anchorFollows);
};

#include "Engine/ui/WeUIEditBox.h"

#include "Engine/runtime/WeInput.h"
#include "Engine/ui/WeFont.h"
#include "Engine/ui/WeUIMain.h"
#include "Engine/ui/WeUIRect.h"
#include "Engine/ui/WeUIText.h"

namespace
{

float SkinWidth(const char* name)
{
    return float(g_UIMain.GetTextureMapEntry(WeString(name)).width) / 1024.0f;
}

}  // namespace

WeUIEditBox::WeUIEditBox(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height)
    : WeUIComponent(parent, name)
{
    m_Text = new WeUIText(this, WeString(""), 0, 0, 0, 0);
    m_Text->m_Format = WeUITextCentreY;
    m_Left = new WeUIRect(this, WeString("EditBoxLeft"), 0, 0, 0, 0, false);
    m_Middle = new WeUIRect(this, WeString("EditBoxMiddle"), 0, 0, 0, 0, false);
    m_Right = new WeUIRect(this, WeString("EditBoxRight"), 0, 0, 0, 0, false);
    m_Caret = new WeUIRect(this, WeString("EditBoxCarat"), 0, 0, 0, 0, false);
    m_Selection = new WeUIRect(this, WeString("TextSelectionBrush"), 0, 0, 0, 0, false);
    SetRect(x, y, width, height);
}

WeUIEditBox::~WeUIEditBox()
{
    delete m_Text;
    delete m_Left;
    delete m_Middle;
    delete m_Right;
    delete m_Caret;
    delete m_Selection;
}

void WeUIEditBox::SetRect(float x, float y, float width, float height)
{
    float left = SkinWidth("EditBoxLeft");
    float right = SkinWidth("EditBoxRight");
    float middle = width - left - right;
    float inset = 4.0f / 768.0f;
    m_Left->SetRect(0, 0, left, height);
    m_Middle->SetRect(left, 0, middle, height);
    m_Right->SetRect(left + middle, 0, right, height);
    m_Text->SetRect(left, 0, middle, height);
    m_Caret->SetRect(left, inset, SkinWidth("EditBoxCarat"), height - 2.0f * inset);
    m_Selection->SetRect(0, inset, 0, height - 2.0f * inset);
    WeUIComponent::SetRect(x, y, width, height);
}

void WeUIEditBox::UpdateLayout()
{
    WeUIComponent::UpdateLayout();
    m_Left->UpdatePixelRect();
    m_Middle->UpdatePixelRect();
    m_Right->UpdatePixelRect();
    m_Text->UpdatePixelRect();
    m_Caret->UpdatePixelRect();
    m_Selection->UpdatePixelRect();
    // The caret and the brush sit after the text, measured in this mapping's pixels.
    UpdateCaret(false);
}

void WeUIEditBox::Render()
{
    if (!g_UIMain.ShouldDraw(this))
        return;
    m_Left->Draw();
    m_Middle->Draw();
    m_Right->Draw();
    m_Text->Draw();
    if (m_Focused)
    {
        m_Caret->Draw();
        m_Selection->Draw();
    }
    WeUIComponent::Render();
}

const WeString& WeUIEditBox::GetText() const
{
    return m_Text->m_Text;
}

void WeUIEditBox::SetText(const WeString& text)
{
    m_Text->m_Text = text;
    m_CaretPos = text.Length();
    UpdateCaret(true);
}

int32_t WeUIEditBox::TextWidth(const WeString& text) const
{
    if (m_Text->m_Font == nullptr || text.IsEmpty())
        return 0;
    int32_t size[2] = {0, 0};
    m_Text->m_Font->GetTextExtent(text, size, 0);
    return size[0];
}

int32_t WeUIEditBox::CodePointCount() const
{
    const WeString& text = m_Text->m_Text;
    int32_t count = 0;
    for (int32_t i = 0; i < text.Length(); i = text.NextUtf8Pos(i))
        ++count;
    return count;
}

void WeUIEditBox::UpdateCaret(bool anchorFollows)
{
    const WeString& text = m_Text->m_Text;
    if (m_CaretPos < 0)
        m_CaretPos = 0;
    if (m_CaretPos > text.Length())
        m_CaretPos = text.Length();
    if (anchorFollows)
        m_Anchor = m_CaretPos;
    if (m_Anchor < 0)
        m_Anchor = 0;
    if (m_Anchor > text.Length())
        m_Anchor = text.Length();
    int32_t middleX = m_Middle->m_PixelX;
    m_Caret->SetPixelRect(middleX + TextWidth(text.Substring(0, m_CaretPos)), m_Caret->m_PixelY, m_Caret->m_PixelWidth,
                          m_Caret->m_PixelHeight);
    int32_t start = SelectionStart(), end = SelectionEnd();
    m_Selection->SetPixelRect(middleX + TextWidth(text.Substring(0, start)), m_Caret->m_PixelY,
                              TextWidth(text.Substring(start, end)), m_Caret->m_PixelHeight);
    m_Boundaries.assign(size_t(text.Length()), 0);
    int32_t x = GetScreenX() + middleX;
    for (int32_t i = 0; i < text.Length();)
    {
        int32_t next = text.NextUtf8Pos(i);
        int32_t width = TextWidth(text.Substring(i, next));
        for (int32_t b = i; b < next; ++b)
            m_Boundaries[size_t(b)] = x + width / 2;
        x += width;
        i = next;
    }
}

void WeUIEditBox::MoveCaretToEnd()
{
    m_Anchor = 0;
    m_CaretPos = m_Text->m_Text.Length();
    UpdateCaret(false);
}

void WeUIEditBox::Erase(int32_t start, int32_t end)
{
    const WeString& text = m_Text->m_Text;
    m_Text->m_Text = text.Substring(0, start) + text.Substring(end, text.Length());
    m_CaretPos = start;
}

void WeUIEditBox::Type(int32_t codePoint)
{
    // Blocked outright when the box takes no text at all, also over a selection.
    if (m_MaxLength <= 0)
        return;
    WeString bytes;
    bytes.AppendUtf8(codePoint);
    if (m_CaretPos != m_Anchor)
    {
        Erase(SelectionStart(), SelectionEnd());
    }
    else if (CodePointCount() >= m_MaxLength)
        return;
    m_Text->m_Text.Insert(m_CaretPos, bytes);
    m_CaretPos += bytes.Length();
    UpdateCaret(true);
}

bool WeUIEditBox::HandleKey(int32_t key)
{
    const WeString& text = m_Text->m_Text;
    bool shift = g_Input.m_Shift != 0;
    bool selection = m_CaretPos != m_Anchor;
    switch (key)
    {
    case KeyEscape:
        if (m_OnEscape != nullptr)
            m_OnEscape(1, this);
        return true;
    case KeyEnter:
    case KeyPadEnter:
        if (m_OnEnter != nullptr)
            m_OnEnter(1, this);
        return true;
    case KeyBackspace:
    case KeyDelete:
        if (selection)
            Erase(SelectionStart(), SelectionEnd());
        else if (key == KeyBackspace && m_CaretPos > 0)
            Erase(text.PrevUtf8Pos(m_CaretPos), m_CaretPos);
        else if (key == KeyDelete && m_CaretPos < text.Length())
            Erase(m_CaretPos, text.NextUtf8Pos(m_CaretPos));
        UpdateCaret(true);
        return true;
    case KeyHome: m_CaretPos = 0; break;
    case KeyEnd: m_CaretPos = text.Length(); break;
    case KeyLeft: m_CaretPos = shift || !selection ? text.PrevUtf8Pos(m_CaretPos) : SelectionStart(); break;
    case KeyRight: m_CaretPos = shift || !selection ? text.NextUtf8Pos(m_CaretPos) : SelectionEnd(); break;
    default: return false;
    }
    // Shift extends the selection from the anchor.
    UpdateCaret(!shift);
    return true;
}

int32_t WeUIEditBox::OnKeyDown(int32_t key)
{
    if (HandleKey(key))
    {
        WeUIComponent::OnKeyUp(key);
        return g_Input.ConsumeKey(key) ? 1 : 0;
    }
    if (key < 0)
    {
        int32_t codePoint = -key;
        // A lone surrogate half is no character: as UTF-8 it would be invalid text in a stored name.
        if (codePoint < 32 || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
            return 0;
        Type(codePoint);
        return WeUIComponent::OnKeyDown(key);
    }
    return 0;
}

int32_t WeUIEditBox::OnMouseDown(int32_t button)
{
    if (button == 0)
        m_MouseSelecting = 1;
    m_CaretPos = m_MouseIndex;
    UpdateCaret(true);
    return WeUIComponent::OnMouseDown(button);
}

int32_t WeUIEditBox::OnMouseMove(int32_t x, int32_t y, int32_t z)
{
    int32_t index = int32_t(m_Boundaries.size());
    for (size_t i = 0; i < m_Boundaries.size(); ++i)
    {
        int32_t previous = i == 0 ? 0 : m_Boundaries[i - 1];
        if (m_Boundaries[i] > x && previous <= x)
        {
            index = int32_t(i);
            break;
        }
    }
    m_MouseIndex = index;
    if (m_MouseSelecting)
    {
        m_CaretPos = m_MouseIndex;
        UpdateCaret(false);
    }
    return WeUIComponent::OnMouseMove(x, y, z);
}

int32_t WeUIEditBox::OnMouseUp(int32_t button)
{
    m_MouseSelecting = 0;
    m_CaretPos = m_MouseIndex;
    UpdateCaret(false);
    return WeUIComponent::OnMouseUp(button);
}

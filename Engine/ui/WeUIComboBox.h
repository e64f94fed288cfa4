#pragma once
#include <cstdint>

#include "Engine/foundation/WeStringList.h"
#include "Engine/ui/WeUIComponent.h"

class WeUILabel;
class WeUIRect;
class WeUIText;
class WeUIWindow;

// A drop-down choice: the selected item's text in an edit-like field with a button, and a top-most list
// window of items below it. Items are labels named "<name>$List$Item <index>" in the order they were added;
// screens find them by those names.
class WeUIComboBox : public WeUIComponent
{
public:
    WeUIComboBox(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height);
    ~WeUIComboBox() override;

    void SetFadeSpeed(float speed) override;
    void SetRect(float x, float y, float width, float height) override;
    void UpdateLayout() override;
    void Render() override;
    int32_t OnMouseUp(int32_t button) override;
    void OnMouseUpAnywhere(WeUIComponent* target) override;

    WeUILabel* AddItem(const WeString& text, intptr_t userData, bool select);
    // Deletes every item (deferred while a handler runs, so that an item's own handler may call it) and adds
    // one per string, none selected.
    void SetItems(const WeStringList& items);
    // Does not call the change callback.
    void SetSelection(WeUILabel* item);
    void SetSelectedIndex(int32_t index, int32_t fallback);
    // An item deleted from outside (by name, or with the list) leaves no selection behind.
    int32_t GetSelectedIndex();
    WeUILabel* GetSelection();
    WeUILabel* GetItem(int32_t index);
    int32_t GetItemCount() const { return m_ItemCount; }
    // The list is open: shown and not on its way out.
    bool IsOpen() const;

    WeUIText* m_Text = nullptr;
    WeUIRect* m_EditLeft = nullptr;
    WeUIRect* m_EditMiddle = nullptr;
    WeUIComponent* m_Button = nullptr;
    WeUIWindow* m_List = nullptr;
    WeUISenderCallback m_OnChange = nullptr;
    int32_t m_ExpandedPixelHeight = 0;
    int32_t m_CollapsedPixelHeight = 0;
    float m_ExpandedHeight = 0.0f;
    float m_RowHeight = 0.0f;
    WeUILabel* m_Selected = nullptr;

private:
    // Forgets the selection, and the text it showed, once its item is no longer one of the list's.
    void DropVanishedSelection();
    void ToggleList();
    void CloseList();
    static int32_t OnButtonClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnItemClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnItemEnter(WeUIComponent* sender);
    static int32_t OnItemLeave(WeUIComponent* sender);

    int32_t m_ItemCount = 0;
    // The selected item's name: with the pointer it tells the item from a deleted one.
    WeString m_SelectedName;
};

#pragma once
#include <cstdint>
#include <vector>

#include "Engine/foundation/WeList.h"
#include "Engine/foundation/WeStringList.h"
#include "Engine/ui/WeUIComponent.h"

class WeUILabel;
class WeUINinePartRect;
class WeUIRect;
class WeUIScrollFrame;

// A table: a row of header buttons over label cells in a scroll frame, with row selection and sorting by a
// clicked header. Its parts are found by name: header i is "<name>$<i>", the cell of column i and row j is
// "<name>$<i>$<j>"; the row count and these names are the whole state of the table.
class WeUIMultiList : public WeUIComponent
{
public:
    WeUIMultiList(WeUIComponent* parent, const WeString& name, float x, float y, float width, float height,
                  const WeList<float>* columnWidths);
    ~WeUIMultiList() override;

    void SetRect(float x, float y, float width, float height) override;
    void UpdateLayout() override;
    void Render() override;

    // A second call deletes the earlier headers and every cell and empties the table.
    void SetColumns(const WeStringList& captions, const WeList<uint8_t>* numeric);
    // texts or cellData may be null or shorter than the columns: the missing cells are empty, data 0.
    void AddRow(const WeStringList* texts, const WeList<intptr_t>* cellData);
    // Every cell of the row carries rowData.
    void AddRow(const WeStringList* texts, intptr_t rowData);
    WeUILabel* GetCell(int32_t column, int32_t row);
    void SetCellText(const WeString& text, int32_t column, int32_t row);
    void SetColumnEnabled(bool enabled, int32_t column);
    void SetHeaderEnabled(bool enabled);
    void SelectCell(WeUIComponent* cell);
    void SelectCellAt(int32_t column, int32_t row);
    void ClearSelection();
    WeUILabel* GetSelectedCell() const;
    bool HasSelection() const { return !m_Selection.empty(); }
    // -1 without a selection.
    int32_t GetSelectedRow() const;
    void RemoveSelectedRow();
    // Rows outside 0 .. count - 1 are left alone.
    void RemoveRow(int32_t row);
    void SortByColumn(int32_t column, bool numeric);
    void SetNormalColour(float r, float g, float b, float a);

    int32_t GetColumnCount() const { return int32_t(m_Captions.size()); }
    int32_t GetRowCount() const { return m_RowCount; }
    float GetRowHeight() const { return float(m_RowFontSize) / 768.0f; }

    // A cell going away for whatever reason: it leaves the selection, and trailing rows left without
    // cells stop counting.
    void OnCellDestroyed(WeUILabel* cell);

    std::vector<float> m_ColumnWidths;
    WeUIScrollFrame* m_ScrollFrame = nullptr;
    float m_HeaderHeight = 0.0f;
    WeUINinePartRect* m_Frame = nullptr;
    WeUIRect* m_Splitter = nullptr;
    std::vector<WeUILabel*> m_Selection;
    std::vector<WeString> m_SelectionTexts;
    uint8_t m_RowSelection = 1;
    std::vector<WeString> m_Captions;
    std::vector<uint8_t> m_Numeric;
    int32_t m_RowCount = 0;
    int32_t m_RowFontSize = 14;
    WeString m_RowFontFace;
    float m_ContentHeight = 0.0f;
    uint8_t m_HeaderEnabled = 0;
    uint8_t m_SortAscending = 1;
    int32_t m_SortColumn = -1;
    float m_SelectionColour[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    uint8_t m_DrawFrame = 1;
    // The colour new cells get and a cleared selection restores.
    float m_NormalColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};

private:
    WeString HeaderName(int32_t column) const;
    WeString CellName(int32_t column, int32_t row) const;
    WeUIComponent* GetHeader(int32_t column);
    bool RowHasCell(int32_t row);
    void DeleteCell(WeUIComponent* cell);
    void SetRowCount(int32_t count);
    static int32_t OnHeaderClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnCellClicked(int32_t button, WeUIComponent* sender);
    static int32_t OnCellDoubleClicked(WeUIComponent* sender);

    // Header geometry in layout fractions, by column.
    std::vector<float> m_HeaderX;
    std::vector<float> m_HeaderWidth;
};

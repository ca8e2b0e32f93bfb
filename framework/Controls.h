// Control objects of the kinds our dialogs bind: buttons and check boxes, labels, edits, lists,
// tables.
#pragma once

#include <cstdint>

#include "framework/CWnd.h"

// A push button, a check box or a radio button.
class CButton : public CWnd {};

// A static text label.
class CStatic : public CWnd {};

// A single-line edit field.
class CEdit : public CWnd {
public:
    // Selects characters nStart up to nEnd; nEnd -1 selects to the end.
    void SetSel(int nStart, int nEnd);
};

// A drop-down list of text choices, at most one of them chosen.
class CComboBox : public CWnd {
public:
    static constexpr int CB_ERR = -1;

    int AddString(const char* text); // text in the locale's code set; returns its index
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;    // CB_ERR when nothing is chosen
    int SetCurSel(int index); // sends no notification
};

// A single-selection list of text lines, each with a number of the program's own.
class CListBox : public CWnd {
public:
    static constexpr int LB_ERR = -1;

    int AddString(const char* text); // text in the locale's code set; returns its index
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const; // LB_ERR when nothing is selected
    int SetCurSel(int index);
    void SetItemData(int index, std::intptr_t data);
    std::intptr_t GetItemData(int index) const;
};

// A read-only table of text under column and row headings. The learner moves among the cells
// with the arrows or the mouse, and a click on a column heading moves to that column.
class CTableCtrl : public CWnd {
public:
    // Empties the table to this many rows and columns; the current column stays where it was
    // while the table still has it. Sends no notification, as none of the setters do.
    void SetSize(int rows, int columns);
    int GetRowCount() const;
    int GetColumnCount() const;
    // Texts in the locale's code set.
    void SetColumnHeading(int column, const char* text);
    void SetRowHeading(int row, const char* text);
    void SetCell(int row, int column, const char* text);
    // Widths to fit the texts, none wider than half the table.
    void FitColumns();
    int GetCurColumn() const; // -1 when no cell is current
    void SetCurColumn(int column);
};

// Byte string in the locale's multibyte code set: the text type of controls and data exchange.
#pragma once

#include <string>
#include <string_view>

#include "framework/WinDef.h"

class CString {
public:
    CString() = default;
    CString(const char* text) : m_str(text ? text : "") {}
    CString(std::string text) : m_str(std::move(text)) {}
    CString(std::string_view text) : m_str(text) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Remove blank, tab, CR, LF, VT and FF at the start or the end; bytes from 0x80 up stay.
    CString& TrimLeft();
    CString& TrimRight();

    // printf-style formatting into a string that grows to fit.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Loads a string resource, converted to the locale's code set; FALSE if there is none.
    BOOL LoadString(UINT nID);

    const std::string& str() const { return m_str; }
    const char* c_str() const { return m_str.c_str(); }
    operator std::string_view() const { return m_str; }

    friend bool operator==(const CString&, const CString&) = default;

private:
    std::string m_str;
};

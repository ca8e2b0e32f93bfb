#include "framework/CString.h"

#include <cstdarg>
#include <cstdio>

#include <QString>

#include "framework/ResourceModule.h"
#include "framework/TextCodec.h"

namespace {

bool IsTrimmedSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

CString& CString::TrimLeft() {
    std::size_t start = 0;
    while (start < m_str.size() && IsTrimmedSpace(m_str[start]))
        ++start;
    m_str.erase(0, start);
    return *this;
}

CString& CString::TrimRight() {
    std::size_t end = m_str.size();
    while (end > 0 && IsTrimmedSpace(m_str[end - 1]))
        --end;
    m_str.erase(end);
    return *this;
}

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        m_str.clear();
    } else {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
        m_str = std::move(text);
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID) {
    const char* text = FindStringResource(nID);
    if (text == nullptr)
        return FALSE;
    m_str = FromQString(QString::fromUtf8(text));
    return TRUE;
}

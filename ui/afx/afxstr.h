// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// CString: the framework's 8-bit string.
#pragma once

#include "ui/afx/afxtypes.h"

#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text ? text : "") {}
    explicit CString(std::string_view text) : m_text(text) {}

    CString& operator=(LPCSTR text) {
        m_text = text ? text : "";
        return *this;
    }

    // Loads the string table entry `id`; FALSE (and the string unchanged) when there is none.
    BOOL LoadStringA(UINT id);

    // printf-style formatting, always in the C locale: the decimal point is "." whatever
    // the process locale is.
    void Format(LPCSTR format, ...) __attribute__((format(printf, 2, 3)));

    BOOL IsEmpty() const { return m_text.empty(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    void Empty() { m_text.clear(); }

    operator LPCSTR() const { return m_text.c_str(); }
    std::string_view View() const { return m_text; }
    const std::string& Str() const { return m_text; }

    friend bool operator==(const CString& a, const CString& b) = default;

private:
    std::string m_text;
};

// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// CString: loading from the string table and printf-style formatting in the C locale.
#include "ui/afx/afxapp.h"
#include "ui/afx/afxplatform.h"
#include "ui/afx/afxstr.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

BOOL CString::LoadStringA(UINT id) {
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(static_cast<int>(id / 16 + 1)), RT_STRING);
    // As MFC does: a buffer that grows until the string fits with room to spare.
    for (std::size_t size = 256;; size *= 2) {
        std::string text(size, '\0');
        const int copied = ::LoadStringA(module, id, text.data(), static_cast<int>(size));
        if (copied <= 0)
            return FALSE;
        if (static_cast<std::size_t>(copied) < size - 1 || size >= 65536) {
            text.resize(static_cast<std::size_t>(copied));
            m_text = std::move(text);
            return TRUE;
        }
    }
}

void CString::Format(LPCSTR format, ...) {
#if defined(_WIN32)
    // The C runtime has no uselocale: this thread gets a locale of its own for the call, and it is "C".
    const int previousMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = current ? current : "C";
    std::setlocale(LC_NUMERIC, "C");
#else
    // Formatting under the C locale, for this thread only and only for this call.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
#endif
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length >= 0) {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
        m_text = std::move(text);
    }
    va_end(again);
#if defined(_WIN32)
    std::setlocale(LC_NUMERIC, saved.c_str());
    _configthreadlocale(previousMode);
#else
    uselocale(previous);
#endif
}

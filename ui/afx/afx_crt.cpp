// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The C runtime's floating-point control, the same on every system: the precision of doubles is
// the instruction set's (x87 or SSE2), not the operating system's.
#include "ui/afx/afxcrt.h"

unsigned int _controlfp(unsigned int newValue, unsigned int mask) {
#if defined(__i386__)
    unsigned short cw = 0;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    if (mask & _MCW_PC) {
        // x87 precision control, bits 8–9: 00 = 24-bit, 10 = 53-bit, 11 = 64-bit.
        unsigned short pc = 0x300;
        if ((newValue & _MCW_PC) == _PC_53)
            pc = 0x200;
        else if ((newValue & _MCW_PC) == _PC_24)
            pc = 0x000;
        cw = static_cast<unsigned short>((cw & ~0x300) | pc);
        __asm__ volatile("fldcw %0" : : "m"(cw));
    }
    const unsigned bits = (cw >> 8) & 3u;
    return bits == 2 ? _PC_53 : bits == 0 ? _PC_24 : _PC_64;
#else
    (void)newValue;
    (void)mask;
    return _PC_53;
#endif
}

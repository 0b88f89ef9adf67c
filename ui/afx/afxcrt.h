// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The C runtime's floating-point control, the framework's own on every system: the Windows C
// runtime's rejects the precision mask on x86-64.
#pragma once

inline constexpr unsigned _MCW_PC = 0x00030000u; // precision-control mask
inline constexpr unsigned _PC_64 = 0x00000000u;
inline constexpr unsigned _PC_53 = 0x00010000u;
inline constexpr unsigned _PC_24 = 0x00020000u;

// Sets the bits of the floating-point control word selected by `mask` to `newValue` and returns the
// precision-control bits of the control word (_PC_24, _PC_53 or _PC_64): only the precision control
// is supported, and no other bits are reported. On x86-64 (and every target other than
// 32-bit x86) double arithmetic is done in 53-bit SSE2 registers by the ABI, so the precision of
// doubles is always _PC_53 and cannot be changed; the returned word says so. On 32-bit x86 the x87
// precision field is really set.
unsigned int _controlfp(unsigned int newValue, unsigned int mask);

// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// What a report carries of where it came from: the SHA-256 of each file read and the time of the run.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace board_cli {

// SHA-256 (FIPS 180-4) of the bytes, as 64 lower-case hex digits. With the processor's SHA extensions
// where it has them, unless `hardware` is false.
std::string Sha256Hex(std::string_view bytes, bool hardware = true);

// Whether this processor has the SHA extensions that Sha256Hex uses.
bool Sha256InHardware();

// The time as UTC in ISO 8601, to the second: "2026-12-09T17:15:00Z".
std::string IsoTime(std::time_t time);

// The time of the run: now, or SOURCE_DATE_EPOCH (seconds since 1970) when the environment sets it, so that
// a build or a test can make the same report twice. nullopt only when that variable is not a number.
std::optional<std::time_t> RunTime(const char* sourceDateEpoch);

} // namespace board_cli

// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The fuzz targets' oracle: a broken promise stops the run, which libFuzzer and the corpus replay both
// report as a failure, with the input saved.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Require(bool ok, const char* what) {
    if (ok)
        return;
    std::fprintf(stderr, "MISMATCH %s\n", what);
    std::abort();
}

} // namespace fuzz

// The version block of the executable.
#pragma once

namespace res {

struct VersionInfo {
    unsigned short fileVersion[4];
    unsigned short productVersion[4];
    const char* fileVersionText;
    const char* productVersionText;
    const char* fileDescription;
    const char* internalName;
    const char* originalFilename;
    const char* productName;
    const char* companyName;
    const char* legalTrademarks;
    unsigned short language; // 0x0409
    unsigned short codePage; // 1200
};

inline constexpr VersionInfo kVersion{
    {1, 0, 0, 1}, {1, 0, 0, 1},  "1, 0, 0, 1",          "1, 0, 0, 1", "tarnvel MFC Application",
    "tarnvel",    "tarnvel.EXE", "tarnvel Application", "",           "",
    0x0409,       1200,
};

} // namespace res

// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// read_shortcut NAME: reads the shortcut NAME.lnk of the user's Start menu (Programs) through the shell's
// own IShellLink, as Explorer does, and prints its file, target, working folder and icon, one per line
// ("target=C:\..."). Exits 1 when there is no such shortcut.
#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_shortcut NAME\n");
        return 2;
    }
    wchar_t programs[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)))
        return 2;
    wchar_t name[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, argv[1], -1, name, MAX_PATH);
    const std::wstring file = std::wstring(programs) + L"\\" + name + L".lnk";
    std::printf("file=%s\n", Utf8(file.c_str()).c_str());
    if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("missing\n");
        return 1;
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    IShellLinkW* link = nullptr;
    IPersistFile* persist = nullptr;
    int status = 2;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        int index = 0;
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        std::printf("target=%s\n", Utf8(text).c_str());
        text[0] = L'\0';
        link->GetWorkingDirectory(text, MAX_PATH);
        std::printf("folder=%s\n", Utf8(text).c_str());
        text[0] = L'\0';
        link->GetIconLocation(text, MAX_PATH, &index);
        std::printf("icon=%s\nicon index=%d\n", Utf8(text).c_str(), index);
        status = 0;
    }
    if (persist != nullptr)
        persist->Release();
    if (link != nullptr)
        link->Release();
    CoUninitialize();
    return status;
}

// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
//
// The executable as a module: its name, and the resources the build placed in its "afx_rsrc"
// section (see afx_add_resources), found through the linker's bounds of that section.
#include "ui/afx/qt/qt_impl.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

extern "C" {
// Defined by the linker when some object of the executable has the section; else null.
extern const std::uint8_t __start_afx_rsrc[] __attribute__((weak));
extern const std::uint8_t __stop_afx_rsrc[] __attribute__((weak));
}

namespace {

AfxModule LoadExecutable() {
    AfxModule module;
    std::error_code error;
    module.name = std::filesystem::read_symlink("/proc/self/exe", error).stem().string();
    const std::uint8_t* begin = __start_afx_rsrc;
    const std::uint8_t* end = __stop_afx_rsrc;
    if (begin != nullptr && end > begin) {
        const afx::Bytes section(begin, static_cast<std::size_t>(end - begin));
        std::string why;
        if (auto resources = afx::ResourceDirectory::Read(section, &why))
            module.resources = std::move(*resources);
        else
            std::fprintf(stderr, "%s: the executable's resources are damaged: %s\n", module.name.c_str(),
                         why.c_str());
    }
    return module;
}

} // namespace

HINSTANCE AfxGetInstanceHandle() {
    static const AfxModule executable = LoadExecutable();
    return &executable;
}

int AfxGetModuleBaseName(HINSTANCE hModule, LPSTR lpBuffer, int cchBufferMax) {
    if (hModule == nullptr || cchBufferMax <= 0)
        return 0;
    return AfxCopyOut(hModule->name.data(), hModule->name.size(), lpBuffer,
                      static_cast<std::size_t>(cchBufferMax));
}

HRSRC FindResourceA(HINSTANCE hModule, LPCSTR lpName, LPCSTR lpType) {
    if (hModule == nullptr || lpName == nullptr || lpType == nullptr)
        return nullptr;
    return hModule->resources.Find(afx::ResourceId::FromA(lpType), afx::ResourceId::FromA(lpName));
}

HGLOBAL LoadResource(HINSTANCE, HRSRC hResInfo) {
    return hResInfo ? hResInfo->data.data() : nullptr;
}

LPCVOID LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD SizeofResource(HINSTANCE, HRSRC hResInfo) {
    return hResInfo ? static_cast<DWORD>(hResInfo->data.size()) : 0;
}

int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (lpBuffer == nullptr || cchBufferMax <= 0)
        return 0;
    lpBuffer[0] = '\0';
    const HRSRC block = FindResourceA(hInstance, MAKEINTRESOURCEA(static_cast<int>(uID / 16 + 1)), RT_STRING);
    if (block == nullptr)
        return 0;
    const std::optional<std::string> text = afx::ReadStringFromBlock(block->data, uID);
    if (!text)
        return 0;
    return AfxCopyOut(text->data(), text->size(), lpBuffer, static_cast<std::size_t>(cchBufferMax));
}

#include "platform/Locale.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace conv::platform
{

std::vector<std::string> uiLanguages()
{
    // The language of Windows' own menus and dialogs for this user ("gl-ES").
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID lcid = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
    if (::LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) <= 0)
        return {};
    std::string ascii;
    for (const wchar_t* c = name; *c; ++c)
        ascii.push_back(static_cast<char>(*c < 0x80 ? *c : '?'));
    return {ascii};
}

std::filesystem::path programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return std::filesystem::path(path).parent_path();
        }
        path.resize(path.size() * 2);
    }
}

} // namespace conv::platform

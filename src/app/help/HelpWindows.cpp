#include "app/help/Help.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <htmlhelp.h>

#include <string>

namespace conv::app
{
namespace
{

/// The pages of the help contexts. The file's own context map names the pages with the folder
/// the help was compiled in, so the window opens its two pages directly.
const wchar_t* contextPage(int context)
{
    switch (context) {
    case kContextMainWindow: return L"ventana.htm";
    case kContextTemplateDialog: return L"plantilla.htm";
    default: return nullptr;
    }
}

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

} // namespace

/// The system's HTML Help, loaded on the first request: a machine without it still runs the
/// converter and says that the help is not installed.
struct Help::Impl
{
    HMODULE library = nullptr;
    HtmlHelpFunction htmlHelp = nullptr;
    bool tried = false;

    HtmlHelpFunction function()
    {
        if (!tried) {
            tried = true;
            library = ::LoadLibraryW(L"HHCtrl.ocx");
            // The wide entry, so that a program folder with letters outside the ANSI code page
            // still finds its help file.
            if (library)
                htmlHelp = reinterpret_cast<HtmlHelpFunction>(
                    reinterpret_cast<void*>(::GetProcAddress(library, "HtmlHelpW")));
        }
        return htmlHelp;
    }

    ~Impl()
    {
        if (htmlHelp)
            htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
        if (library)
            ::FreeLibrary(library);
    }
};

Help::Help(QString programFolder, QStringList files)
    : m_programFolder(std::move(programFolder))
    , m_files(std::move(files))
    , m_impl(std::make_unique<Impl>())
{
}

Help::~Help() = default;

QString Help::helpFile() const
{
    // Windows file names are blind to letter case.
    for (const QString& name : m_files)
        if (const QFileInfo file(QDir(m_programFolder), name); file.isFile())
            return file.absoluteFilePath();
    return QString();
}

bool Help::showContents() const
{
    const QString file = helpFile();
    HtmlHelpFunction htmlHelp = m_impl->function();
    if (file.isEmpty() || !htmlHelp)
        return false;
    const std::wstring path = QDir::toNativeSeparators(file).toStdWString();
    return htmlHelp(::GetDesktopWindow(), path.c_str(), HH_DISPLAY_TOC, 0) != nullptr;
}

bool Help::showContext(int context) const
{
    const wchar_t* page = contextPage(context);
    if (!page)
        return showContents();
    const QString file = helpFile();
    HtmlHelpFunction htmlHelp = m_impl->function();
    if (file.isEmpty() || !htmlHelp)
        return false;
    const std::wstring topic = QDir::toNativeSeparators(file).toStdWString() + L"::/" + page;
    return htmlHelp(::GetDesktopWindow(), topic.c_str(), HH_DISPLAY_TOPIC, 0) != nullptr;
}

} // namespace conv::app

#include "app/embed/Embedding.h"

#include <QWidget>
#include <QWindow>

#include <windows.h>

#include <cstdint>

namespace conv::app
{
namespace
{

HWND toHwnd(std::uint32_t handle)
{
    // Window handles are 32-bit values on 64-bit Windows too (they are shared with 32-bit
    // programs), so the number the caller passes names the whole handle.
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

class Win32ParentWindows : public ParentWindows
{
public:
    bool exists(std::uint32_t handle) override
    {
        return handle != 0 && ::IsWindow(toHwnd(handle)) != FALSE;
    }

    bool embed(QWidget* window, std::uint32_t handle) override
    {
        // Qt turns the window into a WS_CHILD of the host when it is given a foreign parent.
        return embedInForeignWindow(window, WId(toHwnd(handle)));
    }

    void takeFocus(QWidget* window) override
    {
        // A child window of another process gets the keys only once it asks for them: the
        // host's thread input is joined with ours while the focus is set.
        if (!window->windowHandle())
            return;
        const HWND ours = reinterpret_cast<HWND>(window->winId());
        const HWND host = ::GetAncestor(ours, GA_ROOT);
        const DWORD hostThread = host ? ::GetWindowThreadProcessId(host, nullptr) : 0;
        const DWORD ourThread = ::GetCurrentThreadId();
        const bool joined = hostThread != 0 && hostThread != ourThread &&
                            ::AttachThreadInput(ourThread, hostThread, TRUE) != FALSE;
        ::SetFocus(ours);
        if (joined)
            ::AttachThreadInput(ourThread, hostThread, FALSE);
    }
};

} // namespace

void prepareEmbeddingPlatform()
{
    // The windows platform is the only one with window handles: nothing to choose.
}

std::unique_ptr<ParentWindows> platformParentWindows()
{
    return std::make_unique<Win32ParentWindows>();
}

} // namespace conv::app

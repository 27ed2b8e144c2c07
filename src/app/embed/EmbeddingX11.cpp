#include "app/embed/Embedding.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

namespace conv::app
{
namespace
{

class NoParentWindows : public ParentWindows
{
public:
    bool exists(std::uint32_t) override
    {
        return false;
    }
    bool embed(QWidget*, std::uint32_t) override
    {
        return false;
    }
    void takeFocus(QWidget*) override
    {
    }
};

class X11ParentWindows : public ParentWindows
{
public:
    explicit X11ParentWindows(xcb_connection_t* connection)
        : m_connection(connection)
    {
    }

    bool exists(std::uint32_t handle) override
    {
        // Window attributes exist for windows only: an unknown id or a pixmap gives BadWindow.
        if (handle == 0)
            return false;
        xcb_generic_error_t* error = nullptr;
        const auto cookie = xcb_get_window_attributes(m_connection, handle);
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(m_connection, cookie, &error);
        const bool found = reply && !error;
        std::free(reply);
        std::free(error);
        return found;
    }

    bool embed(QWidget* window, std::uint32_t handle) override
    {
        return embedInForeignWindow(window, WId(handle));
    }

    void takeFocus(QWidget* window) override
    {
        if (!window->windowHandle())
            return;
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_PARENT, static_cast<xcb_window_t>(window->winId()),
                            XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t* m_connection;
};

} // namespace

void prepareEmbeddingPlatform()
{
    // The caller passes an X11 window id: use X11 even where a Wayland session is the default.
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

std::unique_ptr<ParentWindows> platformParentWindows()
{
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        if (xcb_connection_t* c = x11->connection())
            return std::make_unique<X11ParentWindows>(c);
    return std::make_unique<NoParentWindows>();
}

} // namespace conv::app

#pragma once

#include <cstdint>
#include <memory>

#include <QtGui/qwindowdefs.h>

class QWidget;

namespace conv::app
{

/// The platform's foreign windows: checking that a handle names a window, making ours its
/// child, and seeing when it goes away.
class ParentWindows
{
public:
    virtual ~ParentWindows() = default;
    /// True when `handle` names an existing window (not a pixmap or a stale id).
    virtual bool exists(std::uint32_t handle) = 0;
    /// Makes the top-level `window` a child of `handle` at (2, 2) without border or caption.
    /// Called before the window is shown. False when the platform cannot.
    virtual bool embed(QWidget* window, std::uint32_t handle) = 0;
    /// Gives the keyboard focus to the embedded `window` (the host's frame keeps it otherwise).
    virtual void takeFocus(QWidget* window) = 0;
};

/// The foreign windows of the running platform: X11 through xcb, Windows through its window
/// handles; where the platform has neither, no handle names a window.
std::unique_ptr<ParentWindows> platformParentWindows();

/// Makes the top-level `window` a child of the foreign window `parent` at (2, 2) without border
/// or caption, the same way on every platform. False when Qt cannot wrap `parent`.
bool embedInForeignWindow(QWidget* window, WId parent);

/// Prepares the platform for a window embedded by handle, before the application exists: the
/// window system whose handles the caller passes.
void prepareEmbeddingPlatform();

} // namespace conv::app

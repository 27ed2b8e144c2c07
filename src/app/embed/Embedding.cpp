#include "app/embed/Embedding.h"

#include <QWidget>
#include <QWindow>

namespace conv::app
{

bool embedInForeignWindow(QWidget* window, WId parent)
{
    QWindow* foreign = QWindow::fromWinId(parent);
    if (!foreign)
        return false;
    // The order matters: frameless first, then the native window, the parent and the place;
    // showing before the reparenting would put the window at (0, 0) of the screen.
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window->winId();
    window->windowHandle()->setParent(foreign);
    window->windowHandle()->setPosition(2, 2);
    window->move(2, 2);
    return true;
}

} // namespace conv::app

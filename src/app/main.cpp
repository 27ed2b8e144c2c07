#include "app/MainWindow.h"
#include "app/MessageBoxes.h"
#include "app/QtPath.h"
#include "app/Translation.h"
#include "app/embed/Embedding.h"
#include "lang/Language.h"
#include "shell/StartMode.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QStyleFactory>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

/// Embedding works through the host's window handle, and a scaled window would land at a
/// scaled place in the host's window, with a size the host did not lay out: prepare the
/// platform, and keep the window's size in pixels at every DPI setting.
void prepareEmbedding(const std::vector<std::string>& parameters)
{
    const conv::StartMode mode = conv::decideStartMode(parameters);
    if (!mode.embedded)
        return;
    conv::app::prepareEmbeddingPlatform();
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR") && qEnvironmentVariableIsEmpty("QT_SCREEN_SCALE_FACTORS"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
}

/// With TRANSXADE_PAINT_LOG set, every widget painted is logged on stderr with the wall-clock
/// time in microseconds and its window's title: the speed benchmark reads from it when each
/// screen was first painted (bench/window_bench.sh).
class PaintLog : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::system_clock::now().time_since_epoch());
            const auto* widget = static_cast<QWidget*>(watched);
            std::fprintf(stderr, "paint %lld %s|%s\n", static_cast<long long>(now.count()),
                         widget->window()->windowTitle().toUtf8().constData(),
                         widget->objectName().toUtf8().constData());
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[])
{
    std::vector<std::string> parameters(argv + (argc > 0 ? 1 : 0), argv + argc);
    prepareEmbedding(parameters);

    QApplication app(argc, argv);
    // The same look everywhere, so colours and sizes do not depend on the desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QString::fromLatin1(conv::kApplicationTitle));
    QApplication::setQuitOnLastWindowClosed(false);
    // TRANSXADE_LANG, else the language chosen when the program was installed, else the user's.
    conv::app::useLanguage(conv::lang::processLanguage(conv::app::toPath(QApplication::applicationDirPath())));

    PaintLog paintLog;
    if (std::getenv("TRANSXADE_PAINT_LOG"))
        app.installEventFilter(&paintLog);

    conv::app::QtMessageBoxes boxes;
    const auto parents = conv::app::platformParentWindows();
    conv::app::WindowSetup setup;
    setup.parameters = parameters;
    setup.programFolder = QApplication::applicationDirPath();
    setup.boxes = &boxes;
    setup.parents = parents.get();

    conv::app::TMForm window(setup);
    // Once embedded, quitting the event loop needs an explicit exit after the close.
    QObject::connect(&window, &conv::app::TMForm::closed, &app, [] { QCoreApplication::exit(0); },
                     Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}

#include "app/help/Help.h"

#include "app/QtPath.h"
#include "app/help/ChmFile.h"
#include "app/help/HelpViewer.h"
#include "common/IoErrors.h"

#include <QFile>

#include <algorithm>

#include <filesystem>
#include <system_error>

namespace conv::app
{

/// The viewer, made on the first request and kept while the program runs, so that later
/// requests reuse the window the user may have moved.
struct Help::Impl
{
    std::unique_ptr<HelpViewer> viewer;
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
    for (const QString& name : m_files) {
        const std::filesystem::path file = findNoCase(toPath(m_programFolder), name.toStdString());
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec))
            return fromPath(file);
    }
    return {};
}

namespace
{

/// Shows `viewer` in front of the other windows.
void bringUp(HelpViewer& viewer)
{
    viewer.show();
    viewer.raise();
    viewer.activateWindow();
}

} // namespace

bool Help::showContents() const
{
    return showContext(0);
}

bool Help::showContext(int context) const
{
    if (!m_impl->viewer) {
        const QString file = helpFile();
        if (file.isEmpty())
            return false;
        auto chm = ChmFile::open(file);
        if (!chm)
            return false;
        m_impl->viewer = std::make_unique<HelpViewer>(std::move(chm));
    }
    HelpViewer& viewer = *m_impl->viewer;
    const QString topic = context != 0 ? viewer.chm().contextTopic(context) : QString();
    if (!viewer.showTopic(topic.isEmpty() ? viewer.chm().defaultTopic() : topic)) {
        // A file with no start page still has its contents.
        const QStringList pages = viewer.chm().pages();
        auto first = std::find_if(pages.begin(), pages.end(),
                                  [](const QString& p) { return p.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
                                                                p.endsWith(QLatin1String(".html"), Qt::CaseInsensitive); });
        if (first == pages.end() || !viewer.showTopic(*first))
            return false;
    }
    bringUp(viewer);
    return true;
}

} // namespace conv::app

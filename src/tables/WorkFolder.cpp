#include "tables/WorkFolder.h"

#include "common/IoErrors.h"
#include "tables/Table.h"

#include <cstdlib>
#include <sys/stat.h>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

/// The root of the file system that holds `folder`: the highest ancestor on the same device.
fs::path fileSystemRoot(const fs::path& folder)
{
    struct stat here{};
    if (::stat(folder.c_str(), &here) != 0)
        return folder.root_path();
    fs::path root = folder;
    while (root.has_parent_path() && root.parent_path() != root) {
        struct stat up{};
        if (::stat(root.parent_path().c_str(), &up) != 0 || up.st_dev != here.st_dev)
            break;
        root = root.parent_path();
    }
    return root;
}

std::string tableFile(const TableLayout& layout)
{
    return std::string(layout.name) + ".DBF";
}

} // namespace

fs::path workFolderFor(const fs::path& openedFolder)
{
    if (const char* given = std::getenv(kWorkFolderVariable); given && *given)
        return fs::path(given);
    std::error_code ec;
    const fs::path opened = openedFolder.empty() ? fs::path("/") : fs::absolute(openedFolder, ec);
    const fs::path root = fileSystemRoot(ec ? fs::path("/") : opened);
    return findNoCase(root, "VTEMP");
}

fs::path defaultWorkFolder()
{
    std::error_code ec;
    const fs::path current = fs::current_path(ec);
    return workFolderFor(ec ? fs::path("/") : current);
}

void rebuildTable(const fs::path& workFolder, const TableLayout& layout)
{
    Table table(workFolder, tableFile(layout));
    table.deleteTable();
    table.setLayout(layout);
    table.createTable();
}

void createTableIfMissing(const fs::path& workFolder, const TableLayout& layout)
{
    if (fileExistsNoCase(workFolder, tableFile(layout)))
        return;
    Table table(workFolder, tableFile(layout));
    table.setLayout(layout);
    table.createTable();
}

} // namespace conv

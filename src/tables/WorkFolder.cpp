#include "tables/WorkFolder.h"

#include "common/IoErrors.h"
#include "tables/Table.h"

#include "platform/File.h"

#include <cstdlib>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

std::string tableFile(const TableLayout& layout)
{
    return std::string(layout.name) + ".DBF";
}

} // namespace

fs::path workFolderFor(const fs::path& openedFolder)
{
    if (fs::path given = platform::environmentPath(kWorkFolderVariable); !given.empty())
        return given;
    std::error_code ec;
    const fs::path opened = openedFolder.empty() ? fs::path("/") : fs::absolute(openedFolder, ec);
    const fs::path root = platform::volumeRoot(ec ? fs::path("/") : opened);
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

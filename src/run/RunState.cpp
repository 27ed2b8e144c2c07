#include "run/RunState.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "text/CsvLine.h"

#include <exception>

namespace conv
{
namespace
{

std::unique_ptr<Table> handle(const std::filesystem::path& folder, const TableLayout& layout,
                              std::string_view index, bool exclusive)
{
    auto t = std::make_unique<Table>(folder, std::string(layout.name) + ".DBF");
    if (!index.empty())
        t->setIndexName(std::string(index));
    t->setExclusive(exclusive);
    return t;
}

} // namespace

WindowTables::WindowTables(const std::filesystem::path& workFolder)
    : wwTableCentro(handle(workFolder, layouts::CONVOCAXADE, "", false))
    , wwTableNIVIMP(handle(workFolder, layouts::CURSOST, "CODCURSO", false))
    , wwTableNIVIMP2(handle(workFolder, layouts::CURSOST2, "CODCURSO", false))
    , wwTableCursos(handle(workFolder, layouts::CURSOST, "", false))
    , wwTableGrupos(handle(workFolder, layouts::GRUPOST, "", true))
    , wwTableNomAsg(handle(workFolder, layouts::ASIGNOMT, "", true))
    , wwTableNomAsg2(handle(workFolder, layouts::ASIGNOMT2, "", true))
    , wwTableProfesor(handle(workFolder, layouts::PROFT, "ABREV", true))
    , wwTableAulas(handle(workFolder, layouts::AULAT, "", true))
    , wwTableSoluc(handle(workFolder, layouts::SOLUC, "", true))
    , wwTableDiasHorasT(handle(workFolder, layouts::DIASHORAST, "", true))
{
}

RunState::RunState(Feedback& fb, std::filesystem::path work)
    : feedback(fb)
    , workFolder(std::move(work))
    , tables(workFolder)
{
}

std::filesystem::path RunState::csvFolder() const
{
    std::string folder = RutaCSV;
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return folder;
}

std::filesystem::path RunState::csvFile(const std::string& name) const
{
    return findNoCase(csvFolder(), name);
}

bool RunState::csvFileExists(const std::string& name) const
{
    return fileExistsNoCase(csvFolder(), name);
}

bool RunState::workFileExists(const std::string& name) const
{
    return fileExistsNoCase(workFolder, name);
}

std::unique_ptr<Table> RunState::stageTable(const TableLayout& layout) const
{
    auto t = std::make_unique<Table>(workFolder, std::string(layout.name) + ".DBF");
    t->setLayout(layout);
    return t;
}

void RunState::countWritten(std::string_view table, std::int64_t records)
{
    for (auto& [name, count] : m_written)
        if (name == table) {
            count += records;
            return;
        }
    m_written.emplace_back(std::string(table), records);
}

std::string errorText(const std::exception& e)
{
    std::string text = errorBoxText(e.what());
    const auto* error = dynamic_cast<const Error*>(&e);
    if (!error || error->file().empty())
        return text;
    // The path in the converter's code page, as the rest of the text; kept as it is when it is
    // no UTF-8.
    const std::string raw = error->file().string();
    const std::string path = decodeLine(raw);
    text += "\nFile: " + (path.empty() ? raw : path);
    if (error->line() > 0)
        text += "\nLine: " + std::to_string(error->line());
    return text;
}

bool runHandler(Feedback& feedback, const std::function<void()>& handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        // Out of memory and the like too: shown the same way, so no front end ends without a word.
        feedback.errorBox(errorText(e));
    }
    return false;
}

} // namespace conv

#include "run/RunState.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "platform/File.h"
#include "text/CsvLine.h"

#include <exception>
#include <stdexcept>

namespace conv
{
namespace
{

struct HandleSetup
{
    const TableLayout* layout;
    const char* index;
    bool exclusive;
};

HandleSetup setupOf(Handle which)
{
    switch (which) {
    case Handle::wwTableCentro: return {&layouts::CONVOCAXADE, "", false};
    case Handle::wwTableNIVIMP: return {&layouts::CURSOST, "CODCURSO", false};
    case Handle::wwTableNIVIMP2: return {&layouts::CURSOST2, "CODCURSO", false};
    case Handle::wwTableCursos: return {&layouts::CURSOST, "", false};
    case Handle::wwTableGrupos: return {&layouts::GRUPOST, "", true};
    case Handle::wwTableNomAsg: return {&layouts::ASIGNOMT, "", true};
    case Handle::wwTableNomAsg2: return {&layouts::ASIGNOMT2, "", true};
    case Handle::wwTableProfesor: return {&layouts::PROFT, "ABREV", true};
    case Handle::wwTableAulas: return {&layouts::AULAT, "", true};
    case Handle::wwTableSoluc: return {&layouts::SOLUC, "", true};
    case Handle::wwTableDiasHorasT: return {&layouts::DIASHORAST, "", true};
    }
    throw std::logic_error("unknown table handle");
}

} // namespace

RunState::RunState(Feedback& fb, std::filesystem::path work)
    : feedback(fb)
    , workFolder(m_workFolder)
    , m_workFolder(std::move(work))
{
}

RunState::~RunState() = default;

Table& RunState::table(Handle which, bool open)
{
    std::unique_ptr<Table>& held = m_handles.at(static_cast<std::size_t>(which));
    if (!held) {
        const HandleSetup s = setupOf(which);
        auto t = std::make_unique<Table>(m_workFolder, std::string(s.layout->name) + ".DBF");
        if (*s.index)
            t->setIndexName(s.index);
        t->setExclusive(s.exclusive);
        held = std::move(t);
    }
    if (open && !held->isOpen())
        held->open();
    return *held;
}

bool RunState::holds(Handle which) const noexcept
{
    return m_handles[static_cast<std::size_t>(which)] != nullptr;
}

void RunState::release(Handle which)
{
    std::unique_ptr<Table>& held = m_handles.at(static_cast<std::size_t>(which));
    if (!held)
        return;
    // Let go of the handle even when closing fails: a handle in doubt is never used again.
    std::unique_ptr<Table> gone = std::move(held);
    if (gone->isOpen())
        gone->close();
}

void RunState::releaseAll()
{
    for (std::size_t i = 0; i < kHandles; ++i) {
        try {
            release(static_cast<Handle>(i));
        } catch (const std::exception&) {
            // Already let go of; the file closes with the handle.
        }
    }
}

bool RunState::moveWorkFolder(std::filesystem::path folder)
{
    for (const auto& held : m_handles)
        if (held)
            return false;
    m_workFolder = std::move(folder);
    return true;
}

std::filesystem::path RunState::csvFolder() const
{
    std::string folder = RutaCSV;
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    return platform::pathFromText(folder);
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

void RunState::takeWorkFolder()
{
    if (workLock)
        return;
    workLock = std::make_unique<WorkFolderLock>(workFolder);
    if (const auto& unfinished = workLock->foundUnfinished())
        feedback.notice(unfinished->kind == "export" ? kUnfinishedExport : kUnfinishedImport);
}

void RunState::conversionStarted(std::string_view kind)
{
    takeWorkFolder();
    workLock->started(kind);
}

void RunState::conversionFinished()
{
    if (workLock)
        workLock->finished();
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
    const std::string raw = platform::pathText(error->file());
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

#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"

#include "common/IoErrors.h"
#include "tables/WorkFolder.h"

#include <filesystem>

namespace conv::import
{

void BExportarClick(RunState& run, const std::string& folder)
{
    run.RutaCSV = folder + '/';
    std::error_code ec;
    if (std::filesystem::is_directory(run.csvFolder(), ec)) {
        // A folder that cannot be read would look empty, and every file "missing".
        std::filesystem::directory_iterator listing(run.csvFolder(), ec);
        if (ec)
            throw IoError(kAccessDenied, ioErrorMessage(kAccessDenied), run.csvFolder());
        run.takeWorkFolder();
        run.feedback.change(UiChange::DisableExportar);
        run.Transformado = 1;
        CargaConvocatorias(run);
        return;
    }
    run.feedback.notice(msg::kNoFolder);
    if (run.embedded()) {
        run.Transformado = -1;
        run.feedback.change(UiChange::CloseWindow);
    }
}

void CargaConvocatorias(RunState& run)
{
    run.feedback.change(UiChange::HideFolderChooser);
    run.feedback.change(UiChange::DisableImportar);
    CreaConvocatorias(run);
    auto table = run.stageTable(layouts::CONVOCAXADE);
    if (!run.csvFileExists(files::kCalls)) {
        inputMissing(run, msg::kNoCalls);
        return;
    }
    DataLines lines(run.csvFile(files::kCalls));
    table->open();
    FieldRef code = table->fieldByName("CONVOCATORIA");
    FieldRef description = table->fieldByName("DESCRIPCION");
    FieldList f;
    std::int64_t count = 0;
    while (lines.next(f)) {
        const std::string& c = f[0];
        const std::string& d = f[1];
        table->append();
        code.setString(c);
        description.setString(d);
        table->post();
        ++count;
    }
    table->close();
    run.countWritten("CONVOCAXADE", count);

    Table& centro = run.table(Handle::wwTableCentro, true);
    centro.first();
    run.feedback.change(UiChange::ShowCallScreen);
    if (!centro.editing())
        centro.edit();
}

void CreaConvocatorias(RunState& run)
{
    // The call table has no index, so only its .DBF is deleted before it is created again.
    auto table = run.stageTable(layouts::CONVOCAXADE);
    table->deleteTableFile();
    table->createTable();
}

bool selectCall(RunState& run, const std::string& code)
{
    Table& centro = run.table(Handle::wwTableCentro);
    if (!centro.isOpen())
        return false;
    if (centro.editing())
        centro.cancel();
    return centro.locate("CONVOCATORIA", Value(code));
}

CallFilter::CallFilter(RunState& run)
{
    Table& centro = run.table(Handle::wwTableCentro);
    // A blank row started on an empty call table is no call: it matches no line.
    if (centro.isOpen() && !centro.inserting() && !centro.eof() && centro.recordCount() > 0)
        m_call = centro.fieldByName("CONVOCATORIA").asString();
}

} // namespace conv::import

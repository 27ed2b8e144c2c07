#include "export/Export.h"
#include "export/Rules.h"

#include "tables/Layouts.h"

#include <system_error>
#include <vector>

namespace conv::exporter
{
namespace
{

constexpr const char* kPlantillaFile = "PLANTILLA.DBF";
constexpr const char* kDiasHorasFile = "DIASHORAST.DBF";

/// The periods of day "1" of DIASHORAST, in its record order and with its numbers. A HORA that
/// is no whole number ends the direction before anything is written.
std::vector<TemplateRow> rowsFromDiasHoras(RunState& run)
{
    Table& dias = run.table(Handle::wwTableDiasHorasT, true);
    dias.first();
    FieldRef dia = dias.fieldByName("DIA");
    FieldRef hora = dias.fieldByName("HORA");
    FieldRef desde = dias.fieldByName("HORADESDE");
    FieldRef hasta = dias.fieldByName("HORAHASTA");
    std::vector<TemplateRow> rows;
    for (; !dias.eof(); dias.next())
        if (dia.asString() == "1")
            rows.push_back({hora.asInteger(), desde.asString(), hasta.asString()});
    return rows;
}

std::vector<TemplateRow> defaultRows()
{
    std::vector<TemplateRow> rows;
    for (int i = 1; i <= kDefaultPeriods; ++i)
        rows.push_back(defaultTemplateRow(i));
    return rows;
}

/// Creates PLANTILLA holding `rows`. The template is kept from run to run, so it is written whole
/// or not at all: a failure part way deletes it again, and the next run builds it afresh.
void writeTemplate(Table& plantilla, const std::vector<TemplateRow>& rows)
{
    plantilla.createTable();
    try {
        plantilla.open();
        FieldRef hora = plantilla.fieldByName("HORA");
        FieldRef horaIni = plantilla.fieldByName("HORAINI");
        FieldRef horaFin = plantilla.fieldByName("HORAFIN");
        for (const TemplateRow& row : rows) {
            plantilla.append();
            hora.setInteger(row.hora);
            horaIni.setString(row.horaIni);
            horaFin.setString(row.horaFin);
            plantilla.post();
        }
        plantilla.close();
    } catch (...) {
        if (plantilla.isOpen())
            plantilla.close();
        plantilla.deleteTable();
        throw;
    }
}

} // namespace

void PlantillaCentro(RunState& run)
{
    auto plantilla = run.stageTable(layouts::PLANTILLA);
    plantilla->setIndexName("HORA");
    bool reuse = false;
    const bool exists = run.workFileExists(kPlantillaFile);
    if (exists) {
        plantilla->open();
        reuse = !plantilla->eof();
        plantilla->close();
    }
    if (!reuse) {
        // Every row is read before the template is touched, so a period that is no whole number
        // leaves it as it was.
        const std::vector<TemplateRow> rows =
            run.workFileExists(kDiasHorasFile) ? rowsFromDiasHoras(run) : defaultRows();
        if (exists)
            plantilla->deleteTable();
        writeTemplate(*plantilla, rows);
    }
    plantilla.reset();
    run.feedback.checkTemplate(run.workFolder);
    run.feedback.setBusy(true);
}

void BImportarClick(RunState& run, const std::string& folder, ExportReport* report)
{
    run.RutaCSV = folder + '/';
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        run.feedback.notice(kNoFolder);
        if (run.embedded()) {
            run.Transformado = 0;
            run.feedback.change(UiChange::CloseWindow);
        }
        return;
    }
    run.conversionStarted("export");
    PlantillaCentro(run);
    if (run.ErrorProceso == 0)
        Importar2(run, report);
}

} // namespace conv::exporter

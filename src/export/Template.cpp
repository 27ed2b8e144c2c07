#include "export/Export.h"
#include "export/Rules.h"

#include "tables/Layouts.h"

#include <system_error>

namespace conv::exporter
{
namespace
{

constexpr const char* kPlantillaFile = "PLANTILLA.DBF";
constexpr const char* kDiasHorasFile = "DIASHORAST.DBF";

void appendRow(Table& plantilla, std::int32_t hora, std::string_view horaIni, std::string_view horaFin)
{
    plantilla.append();
    plantilla.fieldByName("HORA").setInteger(hora);
    plantilla.fieldByName("HORAINI").setString(horaIni);
    plantilla.fieldByName("HORAFIN").setString(horaFin);
    plantilla.post();
}

/// The periods of day "1" of DIASHORAST, in its record order and with its numbers. A HORA that
/// is no whole number ends the direction; the rows posted until then stay.
void fillFromDiasHoras(RunState& run, Table& plantilla)
{
    Table& dias = run.table(Handle::wwTableDiasHorasT);
    if (!dias.isOpen())
        dias.open();
    dias.first();
    FieldRef dia = dias.fieldByName("DIA");
    FieldRef hora = dias.fieldByName("HORA");
    FieldRef desde = dias.fieldByName("HORADESDE");
    FieldRef hasta = dias.fieldByName("HORAHASTA");
    for (; !dias.eof(); dias.next())
        if (dia.asString() == "1")
            appendRow(plantilla, hora.asInteger(), desde.asString(), hasta.asString());
}

void fillDefault(Table& plantilla)
{
    for (int i = 1; i <= kDefaultPeriods; ++i) {
        const TemplateRow row = defaultTemplateRow(i);
        appendRow(plantilla, row.hora, row.horaIni, row.horaFin);
    }
}

} // namespace

void PlantillaCentro(RunState& run)
{
    auto plantilla = run.stageTable(layouts::PLANTILLA);
    plantilla->setIndexName("HORA");
    bool reuse = false;
    if (run.workFileExists(kPlantillaFile)) {
        plantilla->open();
        reuse = !plantilla->eof();
        plantilla->close();
        if (!reuse)
            plantilla->deleteTable();
    }
    if (!reuse) {
        if (!run.workFileExists(kPlantillaFile))
            plantilla->createTable();
        plantilla->open();
        if (run.workFileExists(kDiasHorasFile))
            fillFromDiasHoras(run, *plantilla);
        else
            fillDefault(*plantilla);
        plantilla->close();
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

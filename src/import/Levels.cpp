#include "import/Import.h"
#include "import/Messages.h"

#include "tables/WorkFolder.h"

namespace conv::import
{
namespace
{

/// The wait cursor for the length of the stages. It goes back to normal also when an error
/// ends the run, so the window is not left showing an hourglass over a finished run.
class BusyCursor
{
public:
    explicit BusyCursor(Feedback& feedback)
        : m_feedback(feedback)
    {
        m_feedback.setBusy(true);
    }
    ~BusyCursor()
    {
        m_feedback.setBusy(false);
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    Feedback& m_feedback;
};

/// Saves the codes of every course into the reuse table: changed codes replace the stored
/// ones, new courses are added, and courses no longer listed stay as they are.
void mergeIntoReuseTable(RunState& run)
{
    createTableIfMissing(run.workFolder, layouts::CURSOST2);
    Table& nivimp = run.table(Handle::wwTableNIVIMP, true);
    Table& nivimp2 = run.table(Handle::wwTableNIVIMP2, true);
    std::int64_t count = 0;
    for (nivimp.first(); !nivimp.eof(); nivimp.next()) {
        const std::string code = nivimp.fieldByName("CODCURSO").asString();
        if (nivimp2.findKey(Value(code))) {
            nivimp2.edit();
            for (const char* name : {"TURNO", "NIVEL", "CURSO"})
                nivimp2.fieldByName(name).setString(nivimp.fieldByName(name).asString());
        } else {
            nivimp2.append();
            for (const char* name : {"ABREV", "TURNO", "NIVEL", "CURSO", "NOMECURSO", "CODCURSO"})
                nivimp2.fieldByName(name).setString(nivimp.fieldByName(name).asString());
        }
        nivimp2.post();
        ++count;
    }
    nivimp2.close();
    run.release(Handle::wwTableNIVIMP2);
    nivimp.close();
    run.countWritten("CURSOST2", count);
}

} // namespace

void FinalRecogida(RunState& run)
{
    Table& nivimp = run.table(Handle::wwTableNIVIMP);
    if (nivimp.isOpen() && nivimp.editing())
        nivimp.post();
    CompruebaNiveles(run);
    if (run.ErrorProceso != 0)
        return;
    try {
        mergeIntoReuseTable(run);
        BusyCursor busy(run.feedback);
        // The run order. Every stage runs whatever the earlier ones reported; an error ends them all.
        DatosGrupos(run);
        DatosSubgrupos(run);
        DatosMaterias(run);
        DatosProfesores(run);
        DatosAulas(run);
        DatosAsignaciones(run);
    } catch (...) {
        // What the ended stages left open is closed and let go of: the timetable program finds
        // the tables free, and "Aceptar" again runs every stage anew on fresh handles (each
        // stage rebuilds the tables it writes).
        for (Handle h : {Handle::wwTableNIVIMP2, Handle::wwTableCursos, Handle::wwTableGrupos, Handle::wwTableNomAsg,
                         Handle::wwTableNomAsg2}) {
            try {
                run.release(h);
            } catch (const std::exception&) {
                // Let go of already; the error that ended the run is the one to show.
            }
        }
        throw;
    }
    run.conversionFinished();
    run.feedback.change(UiChange::HideLevelScreen);
    run.feedback.change(UiChange::DisableImportar);
    run.feedback.notice(msg::kFinished);
    if (run.embedded())
        run.feedback.change(UiChange::CloseWindow);
}

void CompruebaNiveles(RunState& run)
{
    Table& cursos = run.table(Handle::wwTableCursos, true);
    for (cursos.first(); !cursos.eof(); cursos.next()) {
        if (cursos.fieldByName("NIVEL").asString().empty() || cursos.fieldByName("CURSO").asString().empty()) {
            run.feedback.change(UiChange::ShowLevelWarning);
            run.ErrorProceso = 1;
            cursos.close();
            return;
        }
    }
    cursos.close();
    run.ErrorProceso = 0;
}

void Button2Click(RunState& run)
{
    run.feedback.change(UiChange::HideLevelWarning);
    DatosNivel(run);
}

} // namespace conv::import

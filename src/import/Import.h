#pragma once

#include "run/RunState.h"

#include <map>
#include <optional>
#include <string>

/// The import direction: XADE's CSV files into the timetable program's tables. Each operation
/// keeps the name it has in the window and works on the run's state.
namespace conv::import
{

/// A missing input is no error: the stage shows `message`, the run is marked as done without
/// it (Transformado -1), and the stage returns.
inline void inputMissing(RunState& run, const char* message)
{
    run.feedback.notice(message);
    run.Transformado = -1;
}

// Call selection.
/// "Transformar datos desde XADE hacia Vestrano": takes `folder` as the CSV folder and, when it
/// exists, loads the calls and shows the call screen.
void BExportarClick(RunState& run, const std::string& folder);
void CargaConvocatorias(RunState& run);
void CreaConvocatorias(RunState& run);
/// Makes the first call with this code current on the call screen (the batch converter's way
/// of picking a row). False when no call has it.
bool selectCall(RunState& run, const std::string& code);

/// Whether a line belongs to the selected call: its position 0 equals the selected call's code
/// exactly. With no call selected (an empty call table) no line belongs.
class CallFilter
{
public:
    explicit CallFilter(RunState& run);
    bool belongs(const std::string& field0) const
    {
        return m_call && *m_call == field0;
    }

private:
    std::optional<std::string> m_call;
};

// Courses and level codes.
/// "Continuar" on the call screen: CargaCursos, then DatosNivel.
void BitBtn1Click(RunState& run);
void CargaCursos(RunState& run);
void DatosNivel(RunState& run);
/// "Aceptar" on the level screen: the check, the saving of the codes, and the stages.
void FinalRecogida(RunState& run);
void CompruebaNiveles(RunState& run);
/// "Volver a los Datos".
void Button2Click(RunState& run);

/// Level codes typed for a course on the level screen.
struct LevelCodes
{
    std::string TURNO;
    std::string NIVEL;
    std::string CURSO;
};
/// Types the codes into the level grid, matching rows by CODCURSO; rows without an answer keep
/// what they hold. Gives the number of rows changed.
int typeLevelCodes(RunState& run, const std::map<std::string, LevelCodes>& answers);

// The stages, in the order FinalRecogida runs them.
void DatosGrupos(RunState& run);
void DatosSubgrupos(RunState& run);
void DatosMaterias(RunState& run);
void DatosProfesores(RunState& run);
void DatosAulas(RunState& run);
void DatosAsignaciones(RunState& run);

} // namespace conv::import

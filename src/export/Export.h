#pragma once

#include "run/RowList.h"
#include "run/RunState.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

/// The timetable-to-XADE direction: the period template and the writing of HORARIO.CSV. Each
/// operation keeps the name it has in the window and works on the run's state.
namespace conv::exporter
{

/// The direction's own texts, shown exactly as written here.
inline constexpr const char* kNoFolder = "No existe la carpeta";
inline constexpr const char* kFinished = "Proceso finalizado";
/// The timetable for XADE, written into the CSV folder.
inline constexpr const char* kHorarioCsv = "HORARIO.CSV";

/// A class of SOLUC the export passed over: why, and the class as SOLUC holds it
/// (Windows-1252).
struct PassedOver
{
    enum class Reason
    {
        DayZero,   ///< DIA 0
        BadDay,    ///< DIA outside 1..7
        NoTeacher, ///< PROF not in PROFT
        NoSubject, ///< ASIG not in ASIGNOMT2 for the group's course
        NoPeriods, ///< SESIONES 0 or less
    };
    Reason reason;
    std::string dia, hora, grupo, asig, prof, aula, sesiones;
};

/// What one export did, for the batch converter's summary and the tests.
struct ExportReport
{
    std::vector<PassedOver> passedOver; ///< every class passed over, in SOLUC's order
    std::filesystem::path horarioCsv; ///< the file written, once it is in place
    std::int64_t lines = 0;           ///< lines of HORARIO.CSV
    std::int64_t classes = 0;         ///< records of SOLUC read
    std::int64_t dayZero = 0;         ///< passed over: DIA 0
    std::int64_t badDay = 0;          ///< passed over: DIA outside 1..7 (and not 0)
    std::int64_t noTeacher = 0;       ///< passed over: PROF not in PROFT
    std::int64_t noSubject = 0;       ///< passed over: ASIG not in ASIGNOMT2 for the group's course
    std::int64_t noPeriods = 0;       ///< passed over: SESIONES 0 or less, so no period to write
    std::int64_t noGroup = 0;         ///< classes written with an empty group: CODGRUPO not in GRUPOST
};

/// "Transformar datos desde Vestrano hacia XADE": takes `folder` as the CSV folder and, when it
/// exists, builds and checks the template (PlantillaCentro) and exports the timetable (Importar2).
void BImportarClick(RunState& run, const std::string& folder, ExportReport* report = nullptr);

/// Builds PLANTILLA when it is missing or empty (from the day-1 periods of DIASHORAST, else the
/// default of 20 periods), has the user check it, and shows the busy cursor.
void PlantillaCentro(RunState& run);

/// Writes the finished timetable SOLUC as HORARIOXADECSV and HORARIO.CSV in RutaCSV. When SOLUC
/// holds classes but none of them gives a line, HORARIO.CSV is left as it was, the user is told
/// why (nothingWrittenText) and Transformado is not set.
void Importar2(RunState& run, ExportReport* report = nullptr);

/// The message shown when no class of SOLUC could be written (Windows-1252).
std::string nothingWrittenText(const ExportReport& report);

/// The classes passed over as the window lists them and `transxade export --report` writes
/// them: columns motivo, día, hora, grupo, materia, profesor, aula, sesiones.
RowList passedOverList(const ExportReport& report);

/// The list's title and what it says above the classes (UTF-8).
inline constexpr const char* kPassedOverCaption = "Clases que no se han exportado";
inline constexpr const char* kPassedOverIntro = "Estas clases del horario de Vestrano no están en HORARIO.CSV. "
                                                "Corríjalas en Vestrano y vuelva a pasar el horario a XADE.";

} // namespace conv::exporter

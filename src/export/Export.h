#pragma once

#include "run/RunState.h"

#include <cstdint>
#include <filesystem>
#include <string>

/// The timetable-to-XADE direction: the period template and the writing of HORARIO.CSV. Each
/// operation keeps the name it has in the window and works on the run's state.
namespace conv::exporter
{

/// The direction's own texts, shown exactly as written here.
inline constexpr const char* kNoFolder = "No existe la carpeta";
inline constexpr const char* kFinished = "Proceso finalizado";
/// The timetable for XADE, written into the CSV folder.
inline constexpr const char* kHorarioCsv = "HORARIO.CSV";

/// What one export did, for the batch converter's summary and the tests.
struct ExportReport
{
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

} // namespace conv::exporter

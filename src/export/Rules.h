#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The small rules of the export, as pure functions: day names, the default template, the
/// period rules and the lines of HORARIO.CSV.
namespace conv::exporter
{

/// The day name XADE expects for a day number of SOLUC (Windows-1252): 1 "Luns" to 7 "Domingo";
/// any other number, negative ones included, gives "".
std::string_view dayName(std::int32_t day);

/// One period of the template.
struct TemplateRow
{
    std::int32_t hora = 0;
    std::string horaIni;
    std::string horaFin;
};

/// Number of periods in the default template.
inline constexpr int kDefaultPeriods = 20;

/// Row `i` (1 to 20) of the default template: period i starts at i + 7 o'clock up to 16 and at
/// i - 17 o'clock from 17, and lasts an hour (1: 08:00-09:00, 16: 23:00-24:00, 17: 00:00-01:00).
TemplateRow defaultTemplateRow(int i);

/// True when a number of periods has a fractional part: such a class gives exactly one line.
bool hasFraction(double sesiones);

/// The DIASHORAST period number at which a class with a part period starts: 2 x Int(H) when the
/// first period H has a fraction, else 2 x H - 1 (1 gives 1, 1.5 gives 2, 2 gives 3, 2.5 gives 4).
/// Nothing when the result is no 32-bit whole number, so that no record can match it.
std::optional<std::int32_t> partPeriodNumber(double hora);

/// The start-time list's entry at `position`, counted from 1. A position outside the list ends
/// the export with "List index out of bounds (%d)", the number being the position minus 1.
const std::string& startTimeAt(const std::vector<std::string>& startTimes, std::int64_t position);

/// The eight values of a line, in file order: NLIN, DIASEM, HORAINI, GRUPO_SUBGRU, MATERIA,
/// PROFESOR, RESERVADO, AULA.
using HorarioValues = std::array<std::string_view, 8>;

/// Appends one line of HORARIO.CSV: every value in double quotes, separated by commas, ended by
/// CR LF. A double quote inside a value is written doubled, so that a CSV reader gets the value
/// back whole.
void appendHorarioLine(std::string& out, const HorarioValues& values);

/// Puts `bytes` in place as `target`: written whole under a temporary name in the same folder and
/// renamed over the old file only when complete, so a failure never leaves a half file behind.
/// Another spelling of the same name (horario.csv) is replaced too. A failure raises the I/O
/// error; the old file then stays as it was.
void replaceFileWhole(const std::filesystem::path& target, std::string_view bytes);

/// The name under which process `pid` writes `name` before it is put in place (".NAME.pid.tmp").
std::filesystem::path temporaryName(const std::filesystem::path& name, std::uint32_t pid);

/// Removes the temporary files that writers of `target` left when they were killed: only names
/// of temporaryName()'s form, and only where their process has ended. Gives how many went.
int removeAbandonedTemporaries(const std::filesystem::path& target);

} // namespace conv::exporter

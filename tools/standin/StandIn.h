#pragma once

#include "tables/Layouts.h"

#include <cstdint>
#include <filesystem>

/// A stand-in for the timetable program, for the round trip where the program itself cannot
/// run: from the tables the import leaves in the work folder it makes a plausible finished
/// timetable SOLUC and the day and period table DIASHORAST, as the program would leave them.
namespace conv::standin
{

/// SOLUC as the converter declares it, but with the code fields as wide as the codes the import
/// gives (ten characters): the timetable program keeps the codes it was given whole.
inline constexpr FieldDef kSolucFields[] = {
    {"ASIG", FieldKind::Text, 10}, {"PROF", FieldKind::Text, 10},    {"CODGRUPO", FieldKind::Text, 10},
    {"TURNO", FieldKind::Text, 1}, {"NIVEL", FieldKind::Text, 5},    {"CURSO", FieldKind::Text, 3},
    {"GRUPO", FieldKind::Text, 1}, {"AULA", FieldKind::Text, 10},    {"DIA", FieldKind::Float, 0},
    {"HORA", FieldKind::Float, 0}, {"SESIONES", FieldKind::Float, 0}};

struct Options
{
    std::uint32_t seed = 1; ///< the same seed and tables give the same timetable
    int days = 5;           ///< Monday to Friday
    int periods = 8;        ///< periods a day
};

/// What was written.
struct Summary
{
    std::int64_t classes = 0;     ///< records of SOLUC
    std::int64_t unplaced = 0;    ///< of them with DIA 0
    std::int64_t partPeriods = 0; ///< of them with a fractional SESIONES
    std::int64_t periods = 0;     ///< records of DIASHORAST
};

/// Reads ASIGT, GRUPOST, PROFT, AULAT and ASIGNOMT2 in `workFolder` and replaces SOLUC and
/// DIASHORAST there. Errors of the table engine are raised as they come.
Summary makeTimetable(const std::filesystem::path& workFolder, const Options& options);

} // namespace conv::standin

#include "tables/Layouts.h"

#include <stdexcept>
#include <string>

namespace conv::layouts
{
namespace
{

// Physical dBase types (level 7, as the timetable program's engine creates them):
//   Text n  -> C, width n (blank-padded Windows-1252)
//   Integer -> I, 4 bytes (big-endian, sign bit flipped; all zeros = empty)
//   Float   -> O, 8 bytes (big-endian sortable double; all zeros = empty)
//   Logical -> L, 1 byte ('T', 'F', blank = empty)
// Names are spelled as on disk; index tags are named after their one field.

constexpr FieldKind T = FieldKind::Text;
constexpr FieldKind I = FieldKind::Integer;
constexpr FieldKind F = FieldKind::Float;
constexpr FieldKind L = FieldKind::Logical;

constexpr FieldDef kConvocaXade[] = {{"CONVOCATORIA", T, 10}, {"DESCRIPCION", T, 60}};

constexpr FieldDef kCursos[] = {{"ABREV", T, 3}, {"TURNO", T, 1},      {"NIVEL", T, 5},
                                {"CURSO", T, 3}, {"NOMECURSO", T, 50}, {"CODCURSO", T, 10}};
constexpr std::string_view kCursosIndexes[] = {"CODCURSO"};

constexpr FieldDef kGrupos[] = {
    {"ABREV", T, 10},          {"TURNO", T, 1},           {"NIVEL", T, 5},
    {"CURSO", T, 3},           {"GRUPO", T, 2},           {"MARCO", T, 1},
    {"NUMALUMN", T, 2},        {"DESCRIP", T, 80},        {"TUTOR", T, 10},
    {"CODGRUXADE", T, 15},     {"CODSUBGRUXADE", T, 15},  {"CODCURSOXADE", T, 15},
    {"NOMEGRUPOXADE", T, 100}, {"NOMEABREVGRUPXADE", T, 100}, {"NOMESUBGRUXADE", T, 100},
    {"NOMEABREVSUBGRUXADE", T, 100}, {"NOMECURSOXADE", T, 100}};

constexpr FieldDef kAsigNom[] = {{"COD", T, 10},    {"CODLARGO", T, 10}, {"NOMBRE", T, 80},
                                 {"ESTAREA", L, 0}, {"CODTAREA", T, 10}, {"CODLARGO2", T, 50}};

constexpr FieldDef kAsigNom2[] = {{"COD", T, 10},        {"CODLARGO", T, 10}, {"NOMBRE", T, 80},
                                  {"CODMATERIA", T, 20}, {"CODCURSO", T, 20}, {"ESTAREA", L, 0},
                                  {"CODTAREA", T, 10},   {"ABREVXADE", T, 100}};

constexpr FieldDef kProfesores[] = {{"ABREV", T, 10}, {"NOMBRE", T, 80}, {"DEPART", T, 40},
                                    {"DNI", T, 15},   {"EMAIL", T, 100}, {"X_EMPLEADO", T, 10}};
constexpr std::string_view kProfesoresIndexes[] = {"ABREV"};

constexpr FieldDef kAulas[] = {
    {"ABREV", T, 10}, {"NOMBRE", T, 80}, {"EDIFICIO", T, 1}, {"MAXALUM", I, 0}, {"CODAULA", T, 10}};

constexpr FieldDef kAsignaciones[] = {
    {"CASIG", T, 10}, {"CPROF", T, 10},    {"CGRUP", T, 10},    {"CAULA", T, 10},       {"TURNO", T, 1},
    {"NIVEL", T, 5},  {"CURSO", T, 3},     {"GRUPO", T, 2},     {"HORAS", F, 0},        {"SESIONES", T, 20},
    {"NCONEX", T, 4}, {"CLAVE", T, 10},    {"CLAVECURSO", T, 10}, {"CTAREA", T, 10}};

constexpr FieldDef kPlantilla[] = {{"HORA", I, 0}, {"HORAINI", T, 5}, {"HORAFIN", T, 5}};
constexpr std::string_view kPlantillaIndexes[] = {"HORA"};

constexpr FieldDef kHorarioCsv[] = {{"NLIN", I, 0},          {"DIASEM", T, 10},   {"HORAINI", T, 5},
                                    {"GRUPO_SUBGRU", T, 200}, {"MATERIA", T, 200}, {"PROFESOR", T, 200},
                                    {"RESERVADO", T, 50},    {"AULA", T, 100}};

// The timetable program's own tables, as declared for reading (and for the stand-in that makes
// them); the program's files may have more fields and other widths.
constexpr FieldDef kSoluc[] = {{"ASIG", T, 4},  {"PROF", T, 4},  {"CODGRUPO", T, 4}, {"TURNO", T, 1},
                               {"NIVEL", T, 5}, {"CURSO", T, 3}, {"GRUPO", T, 1},    {"AULA", T, 4},
                               {"DIA", F, 0},   {"HORA", F, 0},  {"SESIONES", F, 0}};
constexpr std::string_view kSolucIndexes[] = {"PROF", "ASIG"};

constexpr FieldDef kDiasHoras[] = {{"DIHO", T, 10},     {"CODDIHO", T, 10},  {"DIA", T, 20},
                                   {"TEXTODIA", T, 20}, {"HORA", T, 8},      {"TEXTOHOR", T, 15},
                                   {"HORADESDE", T, 8}, {"HORAHASTA", T, 8}, {"MINUTOS", T, 8},
                                   {"SESION_ORDEN", I, 0}, {"PLANTILLA", T, 20}};

} // namespace

const TableLayout CONVOCAXADE{"CONVOCAXADE", kConvocaXade, {}};
const TableLayout CURSOST{"CURSOST", kCursos, kCursosIndexes};
const TableLayout CURSOST2{"CURSOST2", kCursos, kCursosIndexes};
const TableLayout GRUPOST{"GRUPOST", kGrupos, {}};
const TableLayout ASIGNOMT{"ASIGNOMT", kAsigNom, {}};
const TableLayout ASIGNOMT2{"ASIGNOMT2", kAsigNom2, {}};
const TableLayout PROFT{"PROFT", kProfesores, kProfesoresIndexes};
const TableLayout AULAT{"AULAT", kAulas, {}};
const TableLayout ASIGT{"ASIGT", kAsignaciones, {}};
const TableLayout PLANTILLA{"PLANTILLA", kPlantilla, kPlantillaIndexes};
const TableLayout HORARIOXADECSV{"HORARIOXADECSV", kHorarioCsv, {}};
const TableLayout SOLUC{"SOLUC", kSoluc, kSolucIndexes};
const TableLayout DIASHORAST{"DIASHORAST", kDiasHoras, {}};

std::span<const TableLayout* const> all()
{
    static const TableLayout* const kAll[] = {&CONVOCAXADE, &CURSOST,   &CURSOST2,       &GRUPOST, &ASIGNOMT,
                                              &ASIGNOMT2,   &PROFT,     &AULAT,          &ASIGT,   &PLANTILLA,
                                              &HORARIOXADECSV, &SOLUC, &DIASHORAST};
    return kAll;
}

} // namespace conv::layouts

namespace conv
{

int widthOf(const TableLayout& layout, std::string_view field)
{
    for (const FieldDef& f : layout.fields)
        if (f.name == field && f.kind == FieldKind::Text)
            return f.width;
    throw std::logic_error(std::string(layout.name) + " has no text field " + std::string(field));
}

} // namespace conv

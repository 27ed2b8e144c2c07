#pragma once

/// The import direction's own texts, shown exactly as written here (Windows-1252).
namespace conv::msg
{

inline constexpr const char* kNoFolder = "No existe la carpeta";
inline constexpr const char* kNoCalls = "No existe archivo de Convocatorias(convocatoriasCentro.CSV)";
inline constexpr const char* kNoGroupsForCourses = "No existe archivo de Grupos(gruposCentro.CSV)";
inline constexpr const char* kNoCourseTable = "No existe archivo del Cursos (CURSOST.DBF)";
inline constexpr const char* kNoGroups = "No existe archivo de Grupos (gruposCentro.CSV)";
inline constexpr const char* kNoGroupTable = "No existe archivo de Grupos (GRUPOST.DBF)";
inline constexpr const char* kNoSubgroups = "No existe archivo de Sub-Grupos (subgruposCentro.CSV)";
inline constexpr const char* kNoCentreSubjects =
    "No existe archivo de Materias Centro (materiasHorarioOfertaCentro.CSV)";
inline constexpr const char* kNoGeneralSubjects =
    "No existe archivo de Materias Generales (materiasHorarioOfertaXeral.CSV)";
inline constexpr const char* kNoActivities = "No existe archivo de Actividades (actividadesProfesor.CSV)";
inline constexpr const char* kNoTeachers = "No existe archivo de profesores (profesoresGrupoCentro.csv)";
inline constexpr const char* kNoRooms = "No existe archivo de Aulas (aulasCentro.CSV)";
inline constexpr const char* kFinished = "Proceso finalizado";

inline constexpr const char* kReuseCaption = "Recuperaci\xF3n de Niveles y Cursos importados anteriormente";
/// The two lines are joined by a line feed followed by a carriage return, in that order.
inline constexpr const char* kReuseText = "Existen Niveles y Cursos ya definidos de una Importaci\xF3n anterior."
                                          "\n\r\xBFQuiere recuperar las codificaciones introducidas anteriormente?";

} // namespace conv::msg

/// The XADE files, named as the stages open them.
namespace conv::files
{
inline constexpr const char* kCalls = "convocatoriasCentro.csv";
inline constexpr const char* kGroupsForCourses = "gruposCentro.CSV";
inline constexpr const char* kGroups = "gruposCentro.csv";
inline constexpr const char* kSubgroups = "subgruposCentro.csv";
inline constexpr const char* kCentreSubjects = "materiasHorarioOfertaCentro.csv";
inline constexpr const char* kGeneralSubjects = "materiasHorarioOfertaXeral.csv";
inline constexpr const char* kActivities = "actividadesProfesor.csv";
inline constexpr const char* kTeachers = "profesoresGrupoCentro.csv";
inline constexpr const char* kRooms = "aulasCentro.csv";
} // namespace conv::files

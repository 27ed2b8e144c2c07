#include "run/Explain.h"

#include "text/Ansi.h"

#include <iterator>

namespace conv
{
namespace
{

constexpr const char* kCourseMeans = "son datos de XADE.";
constexpr const char* kCourseTodo = "Que se corrijan en XADE (el servicio de XADE del centro o de la Consellería), "
                                    "saque los archivos de nuevo y pulse Continuar otra vez.";
constexpr const char* kNumberMeans = "Un dato que debería ser un número, una fecha o un sí/no no lo es, en un archivo "
                                     "de XADE o en una tabla de Vestrano.";
constexpr const char* kNumberTodo = "Anote el mensaje entero y pida ayuda al servicio técnico.";

// The sentences are those of the help's page of errors: a change here is a change there.
constexpr Explanation kExplanations[] = {
    {"List index out of bounds", false, true, false,
     "a esa línea le faltan datos. Suele pasar si el archivo se abrió y guardó con una hoja de cálculo.",
     "Saque los archivos de XADE de nuevo, sin tocarlos.", "errores.htm"},
    {"List index out of bounds", false, false, false, "una clase está en una sesión que la plantilla horaria no tiene.",
     "El número más uno es esa sesión: añádala a la plantilla o quite la clase de esa sesión en Vestrano.",
     "errores.htm"},
    {"Table is busy", false, false, true,
     "Vestrano (u otro programa) tiene abierta esa tabla de VTEMP. La tabla no ha cambiado.",
     "Cierre el horario en Vestrano, o Vestrano, y repita.", "errores.htm"},
    {"Path not found", false, false, true,
     "No hay carpeta VTEMP en el disco de la carpeta abierta: casi siempre, los archivos están en una memoria USB o "
     "en otro disco.",
     "Copie los archivos a una carpeta del disco de Vestrano (normalmente C:) y abra esa.", "errores.htm"},
    {"Table does not exist", false, false, true, "Falta una tabla en VTEMP.",
     "Termine y guarde el horario en Vestrano, o pase los datos De XADE a Vestrano con todos los archivos.",
     "errores.htm"},
    {"I/O error 32", false, false, true,
     "El archivo está abierto en otro programa, casi siempre HORARIO.CSV o un archivo de XADE abierto en Excel.",
     "Cierre ese archivo y repita.", "errores.htm"},
    {"I/O error 33", false, false, true, "Otro programa tiene bloqueada una parte del archivo.",
     "Cierre el otro programa y repita.", "errores.htm"},
    {"I/O error 21", false, false, true,
     "El disco no está listo: un lector de tarjetas vacío, una memoria USB quitada.", "Ponga el disco o elija otro.",
     "errores.htm"},
    {"I/O error", false, false, true, "Otro error de Windows, con su número.",
     "Anote el número y pida ayuda al servicio técnico.", "errores.htm"},
    {"File access denied", false, false, true,
     "No tiene permiso para leer o escribir ese archivo o esa carpeta (una carpeta protegida, una memoria USB "
     "protegida contra escritura).",
     "Use otra carpeta, o pida permiso a quien administra el ordenador.", "errores.htm"},
    {"Insufficient rights for operation", false, false, true, "No tiene permiso para cambiar los archivos de VTEMP.",
     "Pida a quien administra el ordenador que deje modificar la carpeta VTEMP a los usuarios.", "errores.htm"},
    {"Disk full", false, false, true, "El disco está lleno.", "Libere espacio y repita.", "errores.htm"},
    {"Insufficient disk space", false, false, true, "El disco está lleno.", "Libere espacio y repita.", "errores.htm"},
    {"File not found", false, false, true,
     "Un archivo desapareció mientras el programa lo leía (por ejemplo, se quitó la memoria USB).",
     "Compruebe la carpeta y repita.", "errores.htm"},
    {"Invalid filename", false, false, true, "La carpeta del archivo ya no existe.",
     "Abra otra vez la carpeta y repita.", "errores.htm"},
    {"Too many open files", false, false, true, "Windows no deja abrir más archivos.",
     "Cierre otros programas y repita.", "errores.htm"},
    {"Not a regular file", false, false, true,
     "Donde debería haber un archivo o una tabla hay otra cosa, por ejemplo una carpeta con ese nombre.",
     "Cámbiele el nombre y ponga allí el archivo correcto; si es en VTEMP, pida ayuda al servicio técnico.",
     "errores.htm"},
    {"The course code '", false, false, true, kCourseMeans, kCourseTodo, "errores.htm"},
    {"The course codes '", false, false, true, kCourseMeans, kCourseTodo, "errores.htm"},
    {"The names of the courses '", false, false, true, kCourseMeans, kCourseTodo, "errores.htm"},
    {"is not a valid integer value", true, false, true, kNumberMeans, kNumberTodo, "errores.htm"},
    {"is not a valid floating point value", true, false, true, kNumberMeans, kNumberTodo, "errores.htm"},
    {"is not a valid date", true, false, true, kNumberMeans, kNumberTodo, "errores.htm"},
    {"is not a valid boolean value", true, false, true, kNumberMeans, kNumberTodo, "errores.htm"},
    {"No free short code is left for", false, false, true,
     "Hay tantos grupos, materias, profesores o aulas con la misma abreviatura que no queda ninguna libre.",
     "Revise los códigos de la pantalla de niveles y los datos de XADE; pida ayuda al servicio técnico.",
     "errores.htm"},
};

/// The starts of the table engine's rarer messages, which its own page explains.
constexpr const char* kEngineMessages[] = {
    "Cannot perform this operation on a closed dataset",
    "Cannot perform this operation on an empty dataset",
    "Corrupt index file",
    "Corrupt table/index header",
    "Dataset not in edit or insert mode",
    "Field '",
    "Index does not exist",
    "Index expression not supported",
    "Index not found",
    "Invalid field name",
    "Invalid field size",
    "Invalid index descriptor",
    "Locate needs one value for each field",
    "No index currently active",
    "Operating system error",
    "Table is full",
    "Table is read only",
    "Too many fields in table",
};

/// The value of a "Name: value" line of the box, or "".
std::string_view lineValue(std::string_view box, std::string_view name)
{
    for (std::size_t at = box.find('\n'); at != std::string_view::npos; at = box.find('\n', at + 1)) {
        const std::string_view rest = box.substr(at + 1);
        if (rest.starts_with(name)) {
            std::string_view value = rest.substr(name.size(), rest.find('\n') - name.size());
            if (value.ends_with('.')) // the full stop the box puts at the end of its text
                value.remove_suffix(1);
            return value;
        }
    }
    return {};
}

} // namespace

std::span<const Explanation> explanations()
{
    return kExplanations;
}

const Explanation* explain(std::string_view box)
{
    const std::string_view message = box.substr(0, box.find('\n'));
    const bool aboutFile = !lineValue(box, "File: ").empty();
    for (const Explanation& e : kExplanations) {
        const bool matches =
            e.inside ? message.find(e.message) != std::string_view::npos : message.starts_with(e.message);
        if (matches && (e.anyFile || e.withFile == aboutFile))
            return &e;
    }
    return nullptr;
}

std::string helpPageOf(std::string_view box)
{
    if (const Explanation* e = explain(box))
        return e->page;
    const std::string_view message = box.substr(0, box.find('\n'));
    for (const char* start : kEngineMessages)
        if (message.starts_with(start))
            return "motor.htm";
    return "errores.htm";
}

std::string explanationSentence(std::string_view box)
{
    return explanationSentence(box, [](std::string_view part) { return std::string(part); });
}

std::string explanationSentence(std::string_view box, const std::function<std::string(std::string_view)>& say)
{
    const Explanation* e = explain(box);
    if (!e)
        return {};
    std::string where;
    if (const std::string_view path = lineValue(box, "File: "); !path.empty()) {
        const std::string_view name = path.substr(path.find_last_of("/\\") + 1);
        const std::string_view line = lineValue(box, "Line: ");
        where = line.empty() ? "Con " + ansiToUtf8(name) + ": "
                             : "En la línea " + std::string(line) + " de " + ansiToUtf8(name) + ": ";
        where = say(where);
    }
    std::string means = say(e->means);
    if (where.empty() && !means.empty() && means[0] >= 'a' && means[0] <= 'z')
        means[0] = static_cast<char>(means[0] - 'a' + 'A'); // the sentence starts with it
    return where + means + " " + say(e->todo);
}

} // namespace conv

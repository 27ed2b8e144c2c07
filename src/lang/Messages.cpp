#include "lang/Messages.h"

#include "export/Export.h"
#include "import/Messages.h"
#include "import/Preflight.h"
#include "run/Feedback.h"
#include "run/RunFile.h"
#include "text/Ansi.h"
#include "text/CsvLine.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace conv::lang
{
namespace
{

/// The Spanish texts are the core's own constants, so the table follows them; those with values
/// are written here (in UTF-8, as the Galician), and the tests compose them through the core.
std::vector<std::pair<std::string, std::string>> buildTable()
{
    const auto utf8 = [](const char* text) { return decodeLine(text); };
    std::vector<std::pair<std::string, std::string>> table = {
        {msg::kNoFolder, "Non existe o cartafol"},
        {msg::kNoCalls, "Non existe o ficheiro de convocatorias (convocatoriasCentro.CSV)"},
        {msg::kNoGroupsForCourses, "Non existe o ficheiro de grupos (gruposCentro.CSV)"},
        {msg::kNoCourseTable, "Non existe a táboa de cursos (CURSOST.DBF)"},
        {msg::kNoGroups, "Non existe o ficheiro de grupos (gruposCentro.CSV)"},
        {msg::kNoGroupTable, "Non existe a táboa de grupos (GRUPOST.DBF)"},
        {msg::kNoSubgroups, "Non existe o ficheiro de subgrupos (subgruposCentro.CSV)"},
        {msg::kNoCentreSubjects, "Non existe o ficheiro de materias do centro (materiasHorarioOfertaCentro.CSV)"},
        {msg::kNoGeneralSubjects, "Non existe o ficheiro de materias xerais (materiasHorarioOfertaXeral.CSV)"},
        {msg::kNoActivities, "Non existe o ficheiro de actividades (actividadesProfesor.CSV)"},
        {msg::kNoTeachers, "Non existe o ficheiro de profesorado (profesoresGrupoCentro.csv)"},
        {msg::kNoRooms, "Non existe o ficheiro de aulas (aulasCentro.CSV)"},
        {msg::kFinished, "Proceso rematado"},
        {msg::kReuseCaption, "Recuperación dos niveis e cursos importados antes"},
        {msg::kReuseText,
         "Xa hai niveis e cursos definidos nunha importación anterior.\n\r"
         "Quere recuperar os códigos que escribiu entón?"},
        {kLevelWarning,
         "!!!!!!! ATENCIÓN !!!!!!!  Hai algún NIVEL ou CURSO baleiro. Debe completar todos os "
         "datos das columnas NIVEL e CURSO."},
        {exporter::kNoFolder, "Non existe o cartafol"},
        {exporter::kFinished, "Proceso rematado"},
        {utf8("HORARIO.CSV no se ha modificado: ninguna de las %1 clases de SOLUC se puede exportar (día 0: %2; "
              "día fuera de 1 a 7: %3; profesor que no está en PROFT: %4; materia que no está en ASIGNOMT2: %5; "
              "SESIONES 0 o menos: %6)."),
         "HORARIO.CSV non se modificou: non se pode exportar ningunha das %1 clases de SOLUC (día 0: %2; día "
         "fóra de 1 a 7: %3; profesor que non está en PROFT: %4; materia que non está en ASIGNOMT2: %5; "
         "SESIONES 0 ou menos: %6)."},
        {kWorkFolderBusy, "Outra conversión está a usar o cartafol de traballo. Agarde a que remate e ténteo de novo."},
        {kUnfinishedImport,
         "A última importación neste cartafol de traballo non rematou: as súas táboas poden "
         "estar incompletas. Faga a importación de novo antes de usalas."},
        {kUnfinishedExport, "A última exportación neste cartafol de traballo non rematou. Faga a exportación de novo."},

        // The lists the window shows: the review of the XADE files and the classes an export
        // passed over. Their columns and values as the list has them; those that Galician says
        // the same way (problema, texto, motivo, día, hora, grupo, materia, profesor, aula,
        // recorta, día 0) are not here.
        {utf8(import::kReviewCaption), "Revisión dos ficheiros de XADE"},
        {utf8(exporter::kPassedOverCaption), "Clases que non se exportaron"},
        {utf8(exporter::kPassedOverIntro),
         "Estas clases do horario de Vestrano non están en HORARIO.CSV. Corríxaas en Vestrano e volva pasar o "
         "horario a XADE."},
        {"fichero", "ficheiro"},
        {utf8("línea"), "liña"},
        {"gravedad", "gravidade"},
        {"sesiones", "sesións"},
        {"detiene", "detén"},
        {"pierde", "perde"},
        {utf8("día fuera de 1 a 7"), "día fóra de 1 a 7"},
        {utf8("profesor que no está en PROFT"), "profesor que non está en PROFT"},
        {utf8("materia que no está en ASIGNOMT2"), "materia que non está en ASIGNOMT2"},
        {"SESIONES 0 o menos", "SESIONES 0 ou menos"},

        // What the review says of a line. A line that falls short: the variants that name the
        // call come first, as the shorter ones would take their words for the position.
        {utf8("La línea no es UTF-8 válido (o tiene un carácter que el programa no lee) y se lee vacía y la "
              "importación necesita el campo %1 cuando se importe su convocatoria: se detendría con «List index out "
              "of bounds (%2)» sin escribir nada más."),
         "A liña non é UTF-8 válido (ou ten un carácter que o programa non le) e lese baleira, e a importación "
         "necesita o campo %1 cando se importe a súa convocatoria: deteríase con «List index out of bounds (%2)» "
         "sen escribir nada máis."},
        {utf8("La línea está vacía y la importación necesita el campo %1 cuando se importe su convocatoria: se "
              "detendría con «List index out of bounds (%2)» sin escribir nada más."),
         "A liña está baleira e a importación necesita o campo %1 cando se importe a súa convocatoria: deteríase "
         "con «List index out of bounds (%2)» sen escribir nada máis."},
        {utf8("La línea tiene %1 campos y la importación necesita el campo %2 cuando se importe su convocatoria: se "
              "detendría con «List index out of bounds (%3)» sin escribir nada más."),
         "A liña ten %1 campos e a importación necesita o campo %2 cando se importe a súa convocatoria: deteríase "
         "con «List index out of bounds (%3)» sen escribir nada máis."},
        {utf8("La línea tiene %1 campo y la importación necesita el campo %2 cuando se importe su convocatoria: se "
              "detendría con «List index out of bounds (%3)» sin escribir nada más."),
         "A liña ten %1 campo e a importación necesita o campo %2 cando se importe a súa convocatoria: deteríase "
         "con «List index out of bounds (%3)» sen escribir nada máis."},
        {utf8("La línea no es UTF-8 válido (o tiene un carácter que el programa no lee) y se lee vacía y la "
              "importación necesita el campo %1: se detendría con «List index out of bounds (%2)» sin escribir nada "
              "más."),
         "A liña non é UTF-8 válido (ou ten un carácter que o programa non le) e lese baleira, e a importación "
         "necesita o campo %1: deteríase con «List index out of bounds (%2)» sen escribir nada máis."},
        {utf8("La línea está vacía y la importación necesita el campo %1: se detendría con «List index out of "
              "bounds (%2)» sin escribir nada más."),
         "A liña está baleira e a importación necesita o campo %1: deteríase con «List index out of bounds (%2)» "
         "sen escribir nada máis."},
        {utf8("La línea tiene %1 campos y la importación necesita el campo %2: se detendría con «List index out of "
              "bounds (%3)» sin escribir nada más."),
         "A liña ten %1 campos e a importación necesita o campo %2: deteríase con «List index out of bounds (%3)» "
         "sen escribir nada máis."},
        {utf8("La línea tiene %1 campo y la importación necesita el campo %2: se detendría con «List index out of "
              "bounds (%3)» sin escribir nada más."),
         "A liña ten %1 campo e a importación necesita o campo %2: deteríase con «List index out of bounds (%3)» "
         "sen escribir nada máis."},
        {utf8("La línea de cabecera tiene un retorno de carro sin salto de línea: las líneas que siguen se leen como "
              "parte de la cabecera y no se importa nada de ellas."),
         "A liña de cabeceira ten un retorno de carro sen salto de liña: as liñas que seguen lense como parte da "
         "cabeceira e non se importa nada delas."},
        {utf8("La línea tiene un retorno de carro sin salto de línea: la línea siguiente se lee como parte de esta."),
         "A liña ten un retorno de carro sen salto de liña: a liña seguinte lese como parte desta."},
        {utf8("La línea empieza con una marca de orden de bytes, que se lee como un «?» al principio de su primer "
              "campo."),
         "A liña comeza cunha marca de orde de bytes, que se le como un «?» ao principio do seu primeiro campo."},
        {utf8("La línea tiene un carácter cero tras %1 caracteres: el resto de la línea no se lee."),
         "A liña ten un carácter cero despois de %1 caracteres: o resto da liña non se le."},
        {utf8("El curso «%1» no está en la pantalla de niveles (su código «%2» figura con otro nombre): el grupo no "
              "se importa."),
         "O curso «%1» non está na pantalla de niveis (o seu código «%2» figura con outro nome): o grupo non se "
         "importa."},
        // A value stored cut: the sentences with more to say first, as the plain one would take
        // their words for the width.
        {utf8("El código de curso «%1» tiene %2 caracteres y se guarda recortado a %3 en la pantalla de niveles "
              "(CURSOST)."),
         "O código de curso «%1» ten %2 caracteres e gárdase recortado a %3 na pantalla de niveis (CURSOST)."},
        {utf8("El código de grupo «%1» tiene %2 caracteres y se guarda recortado a %3: los subgrupos van con el "
              "primer grupo cuyo código empieza con esos %4 caracteres."),
         "O código de grupo «%1» ten %2 caracteres e gárdase recortado a %3: os subgrupos van co primeiro grupo "
         "cuxo código comeza con eses %4 caracteres."},
        {utf8("El código de convocatoria «%1» tiene %2 caracteres y se guarda recortado a %3: ninguna línea de los "
              "demás archivos coincidirá con él."),
         "O código de convocatoria «%1» ten %2 caracteres e gárdase recortado a %3: ningunha liña dos demais "
         "ficheiros coincidirá con el."},

        // The sentence an error box adds, part by part: where, what the message means, what to do.
        // As the Galician help words them.
        {"Con %1: ", "Con %1: "},
        {utf8("En la línea %1 de %2: "), "Na liña %1 de %2: "},
        {utf8("a esa línea le faltan datos. Suele pasar si el archivo se abrió y guardó con una hoja de cálculo."),
         "a esa liña fáltanlle datos. Adoita pasar se o ficheiro se abriu e gardou cunha folla de cálculo."},
        {"Saque los archivos de XADE de nuevo, sin tocarlos.", "Exporte os ficheiros de XADE de novo, sen tocalos."},
        {utf8("una clase está en una sesión que la plantilla horaria no tiene."),
         "unha clase está nunha sesión que o modelo horario non ten."},
        {utf8("El número más uno es esa sesión: añádala a la plantilla o quite la clase de esa sesión en Vestrano."),
         "O número máis un é esa sesión: engádaa ao modelo horario ou quite a clase desa sesión en Vestrano."},
        {"Vestrano (u otro programa) tiene abierta esa tabla de VTEMP. La tabla no ha cambiado.",
         "Vestrano (ou outro programa) ten aberta esa táboa de VTEMP. A táboa non cambiou."},
        {"Cierre el horario en Vestrano, o Vestrano, y repita.", "Peche o horario en Vestrano, ou Vestrano, e repita."},
        {utf8("No hay carpeta VTEMP en el disco de la carpeta abierta: casi siempre, los archivos están en una memoria "
              "USB o en otro disco."),
         "Non hai cartafol VTEMP no disco do cartafol aberto: case sempre, os ficheiros están nunha memoria USB ou "
         "noutro disco."},
        {"Copie los archivos a una carpeta del disco de Vestrano (normalmente C:) y abra esa.",
         "Copie os ficheiros a un cartafol do disco de Vestrano (normalmente C:) e abra ese."},
        {"Falta una tabla en VTEMP.", "Falta unha táboa en VTEMP."},
        {"Termine y guarde el horario en Vestrano, o pase los datos De XADE a Vestrano con todos los archivos.",
         "Remate e garde o horario en Vestrano, ou pase os datos de XADE a Vestrano con todos os ficheiros."},
        {utf8("El archivo está abierto en otro programa, casi siempre HORARIO.CSV o un archivo de XADE abierto en "
              "Excel."),
         "O ficheiro está aberto noutro programa, case sempre HORARIO.CSV ou un ficheiro de XADE aberto en Excel."},
        {"Cierre ese archivo y repita.", "Peche ese ficheiro e repita."},
        {"Otro programa tiene bloqueada una parte del archivo.",
         "Outro programa ten bloqueada unha parte do ficheiro."},
        {"Cierre el otro programa y repita.", "Peche o outro programa e repita."},
        {utf8("El disco no está listo: un lector de tarjetas vacío, una memoria USB quitada."),
         "O disco non está listo: un lector de tarxetas baleiro, unha memoria USB retirada."},
        {"Ponga el disco o elija otro.", "Poña o disco ou escolla outro."},
        {utf8("Otro error de Windows, con su número."), "Outro erro de Windows, co seu número."},
        {utf8("Anote el número y pida ayuda al servicio técnico."),
         "Anote o número e pídalle axuda ao servizo técnico."},
        {"No tiene permiso para leer o escribir ese archivo o esa carpeta (una carpeta protegida, una memoria USB "
         "protegida contra escritura).",
         "Non ten permiso para ler ou escribir ese ficheiro ou ese cartafol (un cartafol protexido, unha memoria USB "
         "protexida contra escritura)."},
        {"Use otra carpeta, o pida permiso a quien administra el ordenador.",
         "Use outro cartafol, ou pídalle permiso a quen administra o computador."},
        {"No tiene permiso para cambiar los archivos de VTEMP.", "Non ten permiso para cambiar os ficheiros de VTEMP."},
        {"Pida a quien administra el ordenador que deje modificar la carpeta VTEMP a los usuarios.",
         "Pídalle a quen administra o computador que deixe modificar o cartafol VTEMP aos usuarios."},
        {utf8("El disco está lleno."), "O disco está cheo."},
        {"Libere espacio y repita.", "Libere espazo e repita."},
        {utf8("Un archivo desapareció mientras el programa lo leía (por ejemplo, se quitó la memoria USB)."),
         "Un ficheiro desapareceu mentres o programa o lía (por exemplo, retirouse a memoria USB)."},
        {"Compruebe la carpeta y repita.", "Comprobe o cartafol e repita."},
        {"La carpeta del archivo ya no existe.", "O cartafol do ficheiro xa non existe."},
        {"Abra otra vez la carpeta y repita.", "Abra outra vez o cartafol e repita."},
        {utf8("Windows no deja abrir más archivos."), "Windows non deixa abrir máis ficheiros."},
        {"Cierre otros programas y repita.", "Peche outros programas e repita."},
        {utf8("Donde debería haber un archivo o una tabla hay otra cosa, por ejemplo una carpeta con ese nombre."),
         "Onde debería haber un ficheiro ou unha táboa hai outra cousa, por exemplo un cartafol con ese nome."},
        {utf8("Cámbiele el nombre y ponga allí el archivo correcto; si es en VTEMP, pida ayuda al servicio técnico."),
         "Cámbielle o nome e poña alí o ficheiro correcto; se é en VTEMP, pídalle axuda ao servizo técnico."},
        {utf8("Que se corrijan en XADE (el servicio de XADE del centro o de la Consellería), saque los archivos de "
              "nuevo y pulse Continuar otra vez."),
         "Que se corrixan en XADE (o servizo de XADE do centro ou da Consellería), exporte os ficheiros de novo e "
         "prema Continuar outra vez."},
        {utf8("Un dato que debería ser un número, una fecha o un sí/no no lo es, en un archivo de XADE o en una tabla "
              "de Vestrano."),
         "Un dato que debería ser un número, unha data ou un si/non non o é, nun ficheiro de XADE ou nunha táboa de "
         "Vestrano."},
        {utf8("Anote el mensaje entero y pida ayuda al servicio técnico."),
         "Anote a mensaxe enteira e pídalle axuda ao servizo técnico."},
        {"Hay tantos grupos, materias, profesores o aulas con la misma abreviatura que no queda ninguna libre.",
         "Hai tantos grupos, materias, profesores ou aulas coa mesma abreviatura que non queda ningunha libre."},
        {utf8("Revise los códigos de la pantalla de niveles y los datos de XADE; pida ayuda al servicio técnico."),
         "Revise os códigos da pantalla de niveis e os datos de XADE; pídalle axuda ao servizo técnico."},
    };
    const std::pair<const char*, const char*> cutValues[] = {
        {"El código de materia", "O código de materia"},
        {"El código de curso", "O código de curso"},
        {"El código de tarea", "O código de tarefa"},
        {"El código largo", "O código longo"},
        {"El código de subgrupo", "O código de subgrupo"},
        {"El código de actividad", "O código de actividade"},
        {"El código de empleado", "O código de persoa empregada"},
        {"El código de aula", "O código de aula"},
    };
    for (const auto& [que, what] : cutValues)
        table.emplace_back(utf8((std::string(que) + " «%1» tiene %2 caracteres y se guarda recortado a %3.").c_str()),
                           std::string(what) + " «%1» ten %2 caracteres e gárdase recortado a %3.");
    return table;
}

/// The values "%1"… stand for in `text`, when `text` is the Spanish `pattern` with its values
/// filled in. A value is the shortest text that lets the rest match.
std::optional<std::vector<std::string_view>> matchPattern(std::string_view pattern, std::string_view text)
{
    std::vector<std::string_view> values;
    std::size_t at = 0;
    for (std::size_t p = 0; p < pattern.size();) {
        const std::size_t mark = pattern.find('%', p);
        const std::string_view literal = pattern.substr(p, mark == std::string_view::npos ? mark : mark - p);
        if (text.substr(at, literal.size()) != literal)
            return std::nullopt;
        at += literal.size();
        if (mark == std::string_view::npos || mark + 1 >= pattern.size())
            break;
        // The value runs up to the literal after the mark (or to the end).
        p = mark + 2;
        const std::size_t nextMark = pattern.find('%', p);
        const std::string_view next = pattern.substr(p, nextMark == std::string_view::npos ? nextMark : nextMark - p);
        const std::size_t end = next.empty() ? text.size() : text.find(next, at);
        if (end == std::string_view::npos || end == at)
            return std::nullopt;
        values.push_back(text.substr(at, end - at));
        at = end;
    }
    if (at != text.size())
        return std::nullopt;
    return values;
}

/// The Galician of one Spanish text, with the values put in; nothing when the table lacks it.
std::optional<std::string> galician(std::string_view text)
{
    for (const auto& [spanish, gl] : messageTable()) {
        const auto values = matchPattern(spanish, text);
        if (!values)
            continue;
        return fillIn(decodeLine(gl), *values);
    }
    return std::nullopt;
}

/// The table with its Spanish in UTF-8, for the texts of the lists. A list asks for every cell
/// (100,000 classes passed over make 800,000), most of them codes the table lacks: the texts
/// without values are found by hashing, and only the few with values are matched one by one.
struct Utf8Table
{
    std::vector<std::pair<std::string, std::string>> entries;
    std::unordered_map<std::string_view, std::size_t> plain; ///< a text without values: its entry
    std::vector<std::size_t> patterns;                       ///< the entries with values, in order
};

const Utf8Table& utf8Table()
{
    static const Utf8Table table = [] {
        Utf8Table out;
        for (const auto& [spanish, gl] : messageTable())
            out.entries.emplace_back(ansiToUtf8(spanish), gl);
        for (std::size_t i = 0; i < out.entries.size(); ++i) {
            const std::string& spanish = out.entries[i].first;
            if (spanish.find('%') != std::string::npos)
                out.patterns.push_back(i);
            else
                out.plain.emplace(spanish, i); // the first of equal texts wins, as in a scan
        }
        return out;
    }();
    return table;
}

} // namespace

std::string localiseUtf8(std::string_view text, Language language)
{
    if (language == Language::Spanish || text.empty())
        return std::string(text);
    // The first entry that matches, as a scan of the table in order finds it.
    const Utf8Table& table = utf8Table();
    const auto exact = table.plain.find(text);
    const std::size_t before = exact == table.plain.end() ? table.entries.size() : exact->second;
    for (const std::size_t i : table.patterns) {
        if (i > before)
            break;
        if (const auto values = matchPattern(table.entries[i].first, text))
            return fillIn(table.entries[i].second, *values);
    }
    if (exact != table.plain.end())
        return table.entries[exact->second].second;
    return std::string(text);
}

std::string fillIn(std::string_view pattern, const std::vector<std::string_view>& values)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

const std::vector<std::pair<std::string, std::string>>& messageTable()
{
    static const auto table = buildTable();
    return table;
}

std::string localise(std::string_view text, Language language)
{
    if (language == Language::Spanish)
        return std::string(text);
    if (auto whole = galician(text))
        return *whole;
    std::string out;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (auto gl = galician(line))
            out += *gl;
        else if (line.ends_with('.') && (gl = galician(line.substr(0, line.size() - 1))))
            out += *gl + (gl->ends_with('.') ? "" : ".");
        else
            out += line;
        if (end < text.size())
            out += '\n';
        start = end + 1;
    }
    return out;
}

} // namespace conv::lang

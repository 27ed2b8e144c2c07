#include "cli/CliTexts.h"

#include "lang/Messages.h"

#include <map>

namespace conv::cli
{
namespace
{

// clang-format off
const std::map<std::string_view, std::string_view>& galician()
{
    static const std::map<std::string_view, std::string_view> table{
        // CLI11's own words in a help text.
        {"Usage", "Uso"},
        {"OPTIONS", "OPCIÓNS"},
        {"SUBCOMMAND", "ORDE"},
        {"SUBCOMMANDS", "ORDES"},
        {"Positionals", "Argumentos"},
        {"REQUIRED", "OBRIGATORIO"},
        {"TEXT", "TEXTO"},
        {"Options", "Opcións"},
        {"Subcommands", "Ordes"},
        {"Print this help message and exit", "Amosa esta axuda e sae"},
        {"Display program version information and exit", "Amosa a versión do programa e sae"},
        // The converter and its commands.
        {"Batch converter between XADE's CSV files and the timetable program's dBase tables.",
         "Conversor por lotes entre os ficheiros CSV de XADE e as táboas dBase do programa de horarios."},
        {"Unknown command: %1\nRun with --help for more information.\n",
         "Orde descoñecida: %1\nExecute con --help para máis información.\n"},
        {"Show how each line of an XADE CSV file splits into fields (one JSON array per line, header left out)",
         "Amosa como se divide en campos cada liña dun ficheiro CSV de XADE (unha matriz JSON por liña, sen a "
         "cabeceira)"},
        {"the CSV file", "o ficheiro CSV"},
        {"include the header line", "inclúe a liña de cabeceira"},
        {"%1:%2: not valid UTF-8 (or a character beyond FFFF hex); the line reads as empty\n",
         "%1:%2: non é UTF-8 válido (ou ten un carácter máis alá de FFFF hex); a liña lese baleira\n"},
        {"Print a dBase table as UTF-8 CSV or JSON, in record or index order",
         "Escribe unha táboa dBase como CSV ou JSON en UTF-8, na orde dos rexistros ou na dun índice"},
        {"the .DBF file", "o ficheiro .DBF"},
        {"csv (default) or json", "csv (se non se indica) ou json"},
        {"read in the order of this index tag", "le na orde desta etiqueta de índice"},
        {"Verify a dBase table's header, records and index tree",
         "Comproba a cabeceira, os rexistros e a árbore de índices dunha táboa dBase"},
        {"Check every table of the work folder and whether the last import or export finished",
         "Comproba cada táboa do cartafol de traballo e se rematou a última importación ou exportación"},
        {"the work folder (default: \\VTEMP here, or $TRANSXADE_WORK)",
         "o cartafol de traballo (se non se indica: \\VTEMP aquí, ou $TRANSXADE_WORK)"},
        {"List the calls of an XADE export (code and description, CSV)",
         "Lista as convocatorias dunha exportación de XADE (código e descrición, CSV)"},
        {"the folder of XADE CSV files", "o cartafol dos ficheiros CSV de XADE"},
        {"Print the courses of a call as the answers file to complete (CSV), with the codes kept from an earlier "
         "import filled in",
         "Escribe os cursos dunha convocatoria como o ficheiro de respostas que hai que completar (CSV), cos "
         "códigos gardados dunha importación anterior xa postos"},
        {"the call's code", "o código da convocatoria"},
        {"Import an XADE export into the timetable program's tables. Exit status: 0 done, 1 done with a missing "
         "input, 2 ended by an error or an incomplete course, 64 wrong usage",
         "Importa unha exportación de XADE ás táboas do programa de horarios. Estado de saída: 0 feito, 1 feito "
         "cun ficheiro de entrada que falta, 2 rematada por un erro ou un curso incompleto, 64 uso incorrecto"},
        {"the answers: CSV with CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO",
         "as respostas: CSV con CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO"},
        {"forget the codes kept from earlier imports (CURSOST2)",
         "esquece os códigos gardados de importacións anteriores (CURSOST2)"},
        {"Read every XADE file as the import would and report, by file and line, what would end it, missing "
         "files, codes that will be cut and lines whose data the import would lose; writes nothing. Exit status: "
         "0 clean, 1 warnings or a file missing, 2 a line ends the run",
         "Le cada ficheiro de XADE como o faría a importación e informa, por ficheiro e liña, do que a remataría, "
         "dos ficheiros que faltan, dos códigos que se cortarán e das liñas cuxos datos se perderían; non escribe "
         "nada. Estado de saída: 0 sen problemas, 1 avisos ou un ficheiro que falta, 2 unha liña remata a "
         "importación"},
        {"judge the group lines of this call only", "xulga só as liñas de grupos desta convocatoria"},
        {"transxade: no call '%1' in %2 (transxade calls lists them)\n",
         "transxade: non hai ningunha convocatoria '%1' en %2 (transxade calls lístaas)\n"},
        {"Write the finished timetable (SOLUC in the work folder) as HORARIO.CSV in the CSV folder, for XADE. The "
         "period template PLANTILLA is used as it stands, or built from DIASHORAST (else 20 periods from 08:00) "
         "when it is missing or empty. Exit status: 0 HORARIO.CSV written, 1 nothing written because the CSV "
         "folder is missing or no class of SOLUC could be written (HORARIO.CSV then stays as it was), 2 an error "
         "ended the export (HORARIO.CSV then stays as it was) or the report could not be written, 64 wrong usage",
         "Escribe o horario rematado (SOLUC no cartafol de traballo) como HORARIO.CSV no cartafol dos CSV, para "
         "XADE. O modelo horario PLANTILLA úsase tal como está, ou faise a partir de DIASHORAST (se non, 20 "
         "sesións desde as 08:00) cando falta ou está baleiro. Estado de saída: 0 HORARIO.CSV escrito, 1 nada "
         "escrito porque falta o cartafol dos CSV ou non se puido escribir ningunha clase de SOLUC (HORARIO.CSV "
         "queda entón como estaba), 2 un erro rematou a exportación (HORARIO.CSV queda entón como estaba) ou non "
         "se puido escribir a lista, 64 uso incorrecto"},
        {"also write the classes passed over, one per line with the reason and the class as SOLUC holds it (CSV: "
         "motivo,día,hora,grupo,materia,profesor,aula,sesiones, UTF-8 with a byte-order mark)",
         "escribe ademais as clases pasadas por alto, unha por liña co motivo e a clase tal como a garda SOLUC "
         "(CSV: motivo,día,hora,grupo,materia,profesor,aula,sesiones, UTF-8 con marca de orde de bytes)"},
        {"text (the default: one line per finding and a summary) or csv (the rows of the window's review: "
         "fichero,línea,gravedad,problema,texto, UTF-8 with a byte-order mark)",
         "text (o predeterminado: unha liña por problema e un resumo) ou csv (as filas da revisión da xanela: "
         "fichero,línea,gravedad,problema,texto, UTF-8 con marca de orde de bytes)"},
        {"the folder that receives HORARIO.CSV", "o cartafol que recibe HORARIO.CSV"},
        {"transxade: cannot write the report %1\n", "transxade: non se pode escribir a lista %1\n"},
    };
    return table;
}
// clang-format on

} // namespace

std::string say(lang::Language language, std::string_view english, std::initializer_list<std::string_view> values)
{
    std::string_view text = english;
    if (language == lang::Language::Galician)
        if (const auto it = galician().find(english); it != galician().end())
            text = it->second;
    return lang::fillIn(text, std::vector<std::string_view>(values));
}

bool hasGalician(std::string_view english)
{
    return galician().contains(english);
}

} // namespace conv::cli

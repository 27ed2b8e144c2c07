#include "import/DataLines.h"
#include "import/Import.h"
#include "import/KeyTable.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "tables/WorkFolder.h"

namespace conv::import
{

void DatosAulas(RunState& run)
{
    if (!run.csvFileExists(files::kRooms)) {
        inputMissing(run, msg::kNoRooms);
        return;
    }
    DataLines lines(run.csvFile(files::kRooms));
    rebuildTable(run.workFolder, layouts::AULAT);
    codes::GivenCodes given(true);
    codes::CandidateSearch search;
    auto table = run.stageTable(layouts::AULAT);
    table->open();
    FieldRef fAbrev = table->fieldByName("ABREV");
    FieldRef fNombre = table->fieldByName("NOMBRE");
    FieldRef fCodAula = table->fieldByName("CODAULA");

    // A room is known by its code: a line whose code was seen is skipped.
    KeySet rooms;
    FieldList f;
    std::int64_t count = 0;
    while (lines.next(f)) {
        const std::string& code = f[0];
        const std::string& name = f[1];
        if (rooms.contains(codes::recordKey(code, 10)))
            continue;
        std::string abrev = code;
        if (given.taken(abrev)) {
            const std::string base = code.substr(0, 3);
            abrev = search.find(base, given, [&base](std::uint64_t i) { return codes::numberedCandidate(base, i); });
        }
        given.add(abrev);
        table->append();
        fAbrev.setString(abrev);
        fNombre.setString(name);
        fCodAula.setString(code);
        table->post();
        rooms.insert(codes::recordKey(code, 10));
        ++count;
    }
    table->close();
    run.countWritten("AULAT", count);
}

} // namespace conv::import

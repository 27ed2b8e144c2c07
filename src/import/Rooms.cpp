#include "import/CodedRecords.h"
#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

namespace conv::import
{

void DatosAulas(RunState& run)
{
    if (!run.csvFileExists(files::kRooms)) {
        inputMissing(run, msg::kNoRooms);
        return;
    }
    DataLines lines(run.csvFile(files::kRooms));
    // A room is known by its code: a line whose code was seen is skipped.
    CodedRecords rooms(run, layouts::AULAT, "CODAULA");
    codes::GivenCodes given(true);
    codes::CandidateSearch search;
    FieldList f;
    while (lines.next(f)) {
        const std::string& code = f[0];
        const std::string& name = f[1];
        if (rooms.written(code))
            continue;
        const std::string abrev = given.give(code, [&] {
            const std::string base = code.substr(0, 3);
            return search.find(base, given, [&base](std::uint64_t i) { return codes::numberedCandidate(base, i); });
        });
        rooms.write(abrev, name, code);
    }
    rooms.close();
}

} // namespace conv::import

#include "import/CodedRecords.h"
#include "import/DataLines.h"
#include "import/Import.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "text/Clipper.h"

namespace conv::import
{

void DatosProfesores(RunState& run)
{
    if (!run.csvFileExists(files::kTeachers)) {
        inputMissing(run, msg::kNoTeachers);
        return;
    }
    DataLines lines(run.csvFile(files::kTeachers));
    // A teacher is known by the employee code: a line whose code was seen is skipped.
    CodedRecords teachers(run, layouts::PROFT, "X_EMPLEADO");
    codes::GivenCodes given(true);
    codes::CandidateSearch search;
    auto teacherLine = [&](const FieldList& f) {
        const std::string& name = f[2];
        const std::string& employee = f[0];
        if (teachers.written(employee))
            return;
        const std::string base = Clipper::Mayusculas(name);
        const std::string abrev = given.give(base, [&] {
            return search.find(base.substr(0, 3), given,
                               [&base](std::uint64_t i) { return codes::teacherCandidate(base, i); });
        });
        teachers.write(abrev, name, employee);
    };
    // A big school's codes fill a table far larger than the processor's caches, so the lines are
    // read a block ahead and the places of their codes fetched together.
    lines.readAhead(
        [&](const FieldList& f) {
            if (!f.empty())
                teachers.prefetch(*f.begin());
        },
        teacherLine);
    teachers.close();
}

} // namespace conv::import

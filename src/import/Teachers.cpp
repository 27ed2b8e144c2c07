#include "import/DataLines.h"
#include "import/Import.h"
#include "import/KeyTable.h"
#include "import/Messages.h"
#include "import/ShortCodes.h"

#include "tables/WorkFolder.h"
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
    rebuildTable(run.workFolder, layouts::PROFT);
    codes::GivenCodes given(true);
    codes::CandidateSearch search;
    auto table = run.stageTable(layouts::PROFT);
    table->open();
    FieldRef fAbrev = table->fieldByName("ABREV");
    FieldRef fNombre = table->fieldByName("NOMBRE");
    FieldRef fEmpleado = table->fieldByName("X_EMPLEADO");

    // A teacher is known by the employee code: a line whose code was seen is skipped. A big
    // school's codes fill a table far larger than the processor's caches, so the lines are read
    // a block ahead and the places of their codes fetched together.
    KeySet employees;
    std::int64_t count = 0;
    auto teacherLine = [&](const FieldList& f) {
        const std::string& name = f[2];
        const std::string& employee = f[0];
        if (employees.contains(codes::recordKey(employee, 10)))
            return;
        const std::string base = Clipper::Mayusculas(name);
        const std::string abrev = given.taken(base)
            ? search.find(base.substr(0, 3), given,
                          [&base](std::uint64_t i) { return codes::teacherCandidate(base, i); })
            : base;
        given.add(abrev);
        table->append();
        fAbrev.setString(abrev);
        fNombre.setString(name);
        fEmpleado.setString(employee);
        table->post();
        employees.insert(codes::recordKey(employee, 10));
        ++count;
    };
    lines.readAhead(
        [&](const FieldList& f) {
            if (!f.empty())
                employees.prefetch(codes::recordKey(*f.begin(), 10));
        },
        teacherLine);
    table->close();
    run.countWritten("PROFT", count);
}

} // namespace conv::import

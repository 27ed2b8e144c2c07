// Exports a finished timetable of 200,000 classes against a large school's tables through the
// batch command, each run in a child process; median of five runs. Goal: under a second.
#include "BenchUtil.h"

#include "cli/Commands.h"
#include "standin/StandIn.h"
#include "tables/Layouts.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace
{

namespace fs = std::filesystem;

constexpr long kClasses = 200000;
constexpr long kGroups = 5000;
constexpr long kCourses = 500;
constexpr long kSubjectsPerCourse = 60;
constexpr long kTeachers = 3000;
constexpr int kDays = 5;
constexpr int kPeriods = 16;

template <typename Fill> void fill(const fs::path& work, const conv::TableLayout& layout, long count, Fill each)
{
    conv::rebuildTable(work, layout);
    conv::Table t(work, std::string(layout.name) + ".DBF");
    t.open();
    for (long i = 0; i < count; ++i) {
        t.append();
        each(t, i);
        t.post();
    }
}

std::string hhmm(int minutes)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:00", minutes / 60, minutes % 60);
    return buf;
}

void generate(const fs::path& work)
{
    std::mt19937 rng(20261209);
    fill(work, conv::layouts::GRUPOST, kGroups * 2, [](conv::Table& t, long i) {
        const long g = i % kGroups;
        t.fieldByName("ABREV").setString((i < kGroups ? "G" : "S") + std::to_string(g));
        t.fieldByName("NOMEABREVGRUPXADE").setString("Grupo " + std::to_string(g));
        if (i >= kGroups)
            t.fieldByName("NOMEABREVSUBGRUXADE").setString("Desdobre " + std::to_string(g));
        t.fieldByName("CODCURSOXADE").setString("K" + std::to_string(g % kCourses));
    });
    fill(work, conv::layouts::ASIGNOMT2, kCourses * kSubjectsPerCourse, [](conv::Table& t, long i) {
        t.fieldByName("COD").setString("M" + std::to_string(i % kSubjectsPerCourse));
        t.fieldByName("CODCURSO").setString("K" + std::to_string(i / kSubjectsPerCourse));
        t.fieldByName("ABREVXADE").setString("Materia " + std::to_string(i));
    });
    fill(work, conv::layouts::PROFT, kTeachers, [](conv::Table& t, long i) {
        t.fieldByName("ABREV").setString("P" + std::to_string(i));
        t.fieldByName("NOMBRE").setString("Profesor \"" + std::to_string(i) + "\", Apelido");
    });
    fill(work, conv::layouts::AULAT, 1000,
         [](conv::Table& t, long i) { t.fieldByName("ABREV").setString("A" + std::to_string(i)); });
    fill(work, conv::layouts::DIASHORAST, kDays * kPeriods * 2, [](conv::Table& t, long i) {
        const long d = i / (kPeriods * 2) + 1;
        const long h = i % (kPeriods * 2) + 1;
        t.fieldByName("DIA").setString(std::to_string(d));
        t.fieldByName("HORA").setString(std::to_string(h));
        t.fieldByName("HORADESDE").setString(hhmm(8 * 60 + static_cast<int>(h - 1) * 25));
    });
    fill(work, conv::layouts::PLANTILLA, kPeriods, [](conv::Table& t, long i) {
        t.fieldByName("HORA").setInteger(static_cast<std::int32_t>(i + 1));
        t.fieldByName("HORAINI").setString(hhmm(8 * 60 + static_cast<int>(i) * 50).substr(0, 5));
    });
    conv::Table soluc(work, "SOLUC.DBF");
    soluc.deleteTable();
    for (const conv::FieldDef& f : conv::standin::kSolucFields)
        soluc.addField(f);
    soluc.createTable();
    soluc.open();
    for (long i = 0; i < kClasses; ++i) {
        const long g = static_cast<long>(rng() % (kGroups * 2));
        const unsigned kind = rng() % 100;
        soluc.append();
        soluc.fieldByName("ASIG").setString("M" + std::to_string(rng() % kSubjectsPerCourse));
        soluc.fieldByName("PROF").setString("P" + std::to_string(rng() % kTeachers));
        soluc.fieldByName("CODGRUPO").setString((g < kGroups ? "G" : "S") + std::to_string(g % kGroups));
        soluc.fieldByName("AULA").setString("A" + std::to_string(rng() % 1000));
        soluc.fieldByName("DIA").setFloat(kind < 3 ? 0 : static_cast<double>(rng() % kDays + 1));
        const double hora = static_cast<double>(rng() % (kPeriods - 1) + 1);
        soluc.fieldByName("HORA").setFloat(kind < 10 ? hora + 0.5 : hora);
        soluc.fieldByName("SESIONES").setFloat(kind < 10 ? 0.5 : kind < 30 ? 2 : 1);
        soluc.post();
    }
}

int exportOnce(const fs::path& work, const fs::path& csv)
{
    const std::string w = work.string(), c = csv.string();
    const char* argv[] = {"transxade", "export", "--csv", c.c_str(), "--work", w.c_str()};
    std::ostringstream out, err;
    const int status = conv::cli::run(6, argv, out, err);
    if (status != 0)
        std::fprintf(stderr, "%s", err.str().c_str());
    return status;
}

} // namespace

int main()
{
    const fs::path root = fs::temp_directory_path() / "transxade-export-bench";
    fs::remove_all(root);
    const fs::path work = root / "VTEMP";
    const fs::path csv = root / "xade";
    fs::create_directories(work);
    fs::create_directories(csv);
    generate(work);

    if (const char* keep = std::getenv("EXPORT_BENCH_PREPARE_ONLY"); keep && *keep) {
        std::printf("tables in %s\n", work.c_str());
        return 0;
    }
    bench::Comparison c;
    c.add("export, 200,000 classes", [&] { return bench::measureChild([&] { return exportOnce(work, csv); }); });
    c.run(5);
    long lines = 0;
    {
        std::ifstream in(csv / "HORARIO.CSV", std::ios::binary);
        for (std::string l; std::getline(in, l);)
            ++lines;
    }
    std::printf("SOLUC %ld classes, GRUPOST %ld, ASIGNOMT2 %ld, PROFT %ld; HORARIO.CSV %ld lines, %ju bytes\n",
                kClasses, kGroups * 2, kCourses * kSubjectsPerCourse, kTeachers, lines,
                static_cast<std::uintmax_t>(fs::file_size(csv / "HORARIO.CSV")));
    c.print();
    const bench::RunCost m = c.medianOf("export, 200,000 classes");
    std::printf("goal: under 1 s wall: %s\n", m.wall < 1.0 ? "met" : "NOT met");
    fs::remove_all(root);
    return 0;
}

// Imports a generated stress school (about a million CSV lines at scale 1) through the batch
// command, at several scales, each run in a child process with its peak memory; then times the
// stages one by one at scales from 1 up to show where the time goes.
// Usage: bench_import [SCALE...] (default 0.1 1 10); bench_import --generate DIR SCALE.
#include "BenchUtil.h"

#include "cli/Commands.h"
#include "import/Import.h"
#include "import/LevelAnswers.h"
#include "run/RunState.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

const char* const kFirst[] = {"Maruxa", "Miro", "Anta", "Uxio", "Xiana", "Brais", "Iria", "Martin", "Sabela", "Roi"};
const char* const kLast[] = {"Pereiro",    "Pazos",   "Castelo",  "Coton", "Brandariz", "Sende",    "Lamela", "Vilar",
                             "Carballido", "Outeiro", "Ferreiro", "Cid",   "Mouzo",     "Regueiro", "Lousada"};

class Writer
{
public:
    Writer(const fs::path& path, const char* header, long& lines)
        : m_out(path, std::ios::binary)
        , m_lines(lines)
    {
        line(header);
    }
    void line(const std::string& text)
    {
        m_out << text << "\r\n";
        ++m_lines;
    }

private:
    std::ofstream m_out;
    long& m_lines;
};

/// Writes the XADE files and the answers of a school `scale` times the base size into `dir`.
long generate(const fs::path& dir, double scale)
{
    std::mt19937 rng(20261209);
    long lines = 0;
    const long courses = static_cast<long>(5000 * scale);
    const long teachers = static_cast<long>(20000 * scale);
    const long rooms = static_cast<long>(10000 * scale);
    {
        Writer w(dir / "convocatoriasCentro.csv", "CODIGO,DESCRICION", lines);
        w.line("2026ORD,\"Convocatoria ordinaria\"");
        w.line("2026EXT,\"Convocatoria extraordinaria\"");
    }
    {
        Writer g(dir / "gruposCentro.csv", "CONV,CODCURSO,CODGRUPO,NOMEGRUPO,NOMECURSO,ABREV", lines);
        Writer s(dir / "subgruposCentro.csv", "CODGRUPO,CODSUBGRUPO,TIPO,NOME,ABREV", lines);
        Writer a(dir / "niveles.csv", "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO", lines);
        long group = 0;
        for (long c = 0; c < courses; ++c) {
            const std::string code = "K" + std::to_string(c);
            const std::string name = "\"Curso " + std::to_string(c) + "\"";
            // Levels run into each other now and then (L1 + 23 and L12 + 3), as schools type them.
            a.line(code + "," + name + ",M,L" + std::to_string(c % 2000) + "," + std::to_string(c / 2000));
            for (int k = 0; k < 10; ++k, ++group) {
                // Every 50th course has a lower-case twin of its first group name.
                const std::string gname(1, static_cast<char>((c % 50 == 0 && k == 9 ? 'a' : 'A' + k)));
                const std::string gcode = "G" + std::to_string(group);
                g.line("2026ORD," + code + "," + gcode + "," + gname + "," + name + "," + gname);
                g.line("2026EXT," + code + ",X" + std::to_string(group) + "," + gname + "," + name + "," + gname);
                s.line(gcode + ",S" + std::to_string(group) + "a,Desdobre,\"Grupo 1\",D1");
                s.line(gcode + ",S" + std::to_string(group) + "b,Desdobre,\"Grupo 2\",D2");
            }
        }
    }
    {
        // Long codes shared by several courses, and many whose short codes collide ("Materia 123").
        Writer m(dir / "materiasHorarioOfertaCentro.csv", "MAT,CURSO,TAREA,CODLARGO,NOME,ABREV", lines);
        for (long c = 0; c < courses; ++c)
            for (int k = 0; k < 10; ++k) {
                const long subject = (c * 7 + k * 131) % static_cast<long>(3000 * scale + 1);
                m.line("M" + std::to_string(c * 10 + k) + ",K" + std::to_string(c) + ",0,\"Materia " +
                       std::to_string(subject) + "\",\"Materia " + std::to_string(subject) + "\",MA");
            }
        Writer x(dir / "materiasHorarioOfertaXeral.csv", "MAT,CURSO,TAREA,CODLARGO,NOME,ABREV", lines);
        const long general = static_cast<long>(250000 * scale);
        for (long i = 0; i < general; ++i) {
            const bool ours = i % 10 == 0;
            const long course = ours ? static_cast<long>(rng() % courses) : 100000000 + i;
            const std::string task = i % 97 == 0 ? "AC" + std::to_string(i % 500) : "0";
            x.line("X" + std::to_string(i) + ",K" + std::to_string(course) + "," + task + ",XERAL" +
                   std::to_string(i % 20000) + ",\"Materia xeral\",XE");
        }
        Writer act(dir / "actividadesProfesor.csv", "COD,DESC,NOME", lines);
        for (long i = 0; i < static_cast<long>(1000 * scale); ++i)
            act.line("AC" + std::to_string(i % 700) + ",Actividade,\"Actividade " + std::to_string(i) + "\"");
    }
    {
        Writer p(dir / "profesoresGrupoCentro.csv", "EMPREGADO,GRUPO,NOME", lines);
        for (int round = 0; round < 20; ++round)
            for (long t = 0; t < teachers; ++t)
                p.line("E" + std::to_string(t) + ",G" + std::to_string(round) + ",\"" + kLast[t % 15] + " " +
                       kLast[(t / 15) % 15] + ", " + kFirst[(t / 225) % 10] + "\"");
    }
    {
        Writer r(dir / "aulasCentro.csv", "CODAULA,NOME", lines);
        for (long i = 0; i < rooms; ++i) {
            std::string code = i % 20 == 0 ? "aula" + std::to_string(i - 1) : "AULA" + std::to_string(i);
            if (i % 100 == 1)
                code = "LABORATORIO" + std::to_string(i);
            r.line(code + ",\"Aula " + std::to_string(i) + "\"");
        }
    }
    return lines;
}

int importSchool(const fs::path& csv, const fs::path& work)
{
    const std::string c = csv.string(), w = work.string(), l = (csv / "niveles.csv").string();
    const char* argv[] = {"transxade", "import",  "--csv",  c.c_str(), "--call",    "2026ORD",
                          "--levels",  l.c_str(), "--work", w.c_str(), "--no-reuse"};
    std::ostringstream out, err;
    const int status = conv::cli::run(11, argv, out, err);
    if (status != 0)
        std::fprintf(stderr, "import status %d: %s\n", status, err.str().c_str());
    else
        std::fprintf(stderr, "%s", out.str().c_str());
    return status;
}

class Quiet : public conv::Feedback
{
public:
    void notice(const std::string&) override
    {
    }
    void errorBox(const std::string& t) override
    {
        std::fprintf(stderr, "error: %s\n", t.c_str());
    }
    bool askOkCancel(const std::string&, const std::string&) override
    {
        return false;
    }
    void change(conv::UiChange) override
    {
    }
    void setBusy(bool) override
    {
    }
};

/// Runs the steps of one import by hand, timing each stage.
int timeStages(const fs::path& csv, const fs::path& work)
{
    using namespace conv::import;
    Quiet quiet;
    conv::RunState run(quiet, work);
    // Wall time suffers from whatever else the machine runs; the process's CPU time less so.
    auto cpuNow = [] {
        timespec ts{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
    };
    auto timed = [&cpuNow](const char* name, auto&& step) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuNow();
        step();
        std::printf("  %-20s %8.3f s wall %8.3f s cpu\n", name,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                    cpuNow() - cpuStart);
    };
    return conv::runHandler(quiet,
                            [&] {
                                timed("calls", [&] { BExportarClick(run, csv.string()); });
                                selectCall(run, "2026ORD");
                                timed("courses", [&] { BitBtn1Click(run); });
                                timed("level codes",
                                      [&] { typeLevelCodes(run, readLevelAnswers(csv / "niveles.csv")); });
                                timed("check", [&] { CompruebaNiveles(run); });
                                timed("DatosGrupos", [&] { DatosGrupos(run); });
                                timed("DatosSubgrupos", [&] { DatosSubgrupos(run); });
                                timed("DatosMaterias", [&] { DatosMaterias(run); });
                                timed("DatosProfesores", [&] { DatosProfesores(run); });
                                timed("DatosAulas", [&] { DatosAulas(run); });
                                timed("DatosAsignaciones", [&] { DatosAsignaciones(run); });
                                std::fflush(stdout);
                            })
        ? 0
        : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // "--generate DIR SCALE" only writes the school's files into DIR, to import them by hand (to
    // compare the tables two builds write, say).
    if (argc == 4 && std::string(argv[1]) == "--generate") {
        fs::create_directories(argv[2]);
        std::printf("%ld CSV lines\n", generate(argv[2], std::stod(argv[3])));
        return 0;
    }
    std::vector<double> scales;
    for (int i = 1; i < argc; ++i)
        scales.push_back(std::stod(argv[i]));
    if (scales.empty())
        scales = {0.1, 1, 10};

    // Each scale is imported several times into a fresh work folder; the ratio uses the fastest
    // run, the one least disturbed by other work on a shared machine.
    const int runs = std::getenv("IMPORT_BENCH_RUNS") ? std::max(1, std::atoi(std::getenv("IMPORT_BENCH_RUNS"))) : 3;
    const fs::path root = fs::temp_directory_path() / ("import-bench-" + std::to_string(getpid()));
    std::printf("%d runs per scale; wall and user+sys of the fastest run, then the median wall\n", runs);
    std::printf("%-8s %10s %10s %10s %10s %12s\n", "scale", "CSV lines", "wall s", "user+sys s", "median s",
                "peak RSS KiB");
    std::vector<std::pair<double, double>> walls;
    for (const double scale : scales) {
        const fs::path csv = root / "csv", work = root / "work";
        fs::remove_all(root);
        fs::create_directories(csv);
        fs::create_directories(work);
        const long lines = generate(csv, scale);
        ::sync(); // the school's files on disk, not still being written back during the import
        std::vector<bench::RunCost> costs;
        std::vector<double> wallTimes;
        for (int r = 0; r < runs; ++r) {
            fs::remove_all(work);
            fs::create_directories(work);
            costs.push_back(bench::measureChild([&] { return importSchool(csv, work); }));
            wallTimes.push_back(costs.back().wall);
        }
        const bench::RunCost cost =
            *std::min_element(costs.begin(), costs.end(),
                              [](const bench::RunCost& a, const bench::RunCost& b) { return a.wall < b.wall; });
        std::printf("%-8g %10ld %10.3f %10.3f %10.3f %12ld\n", scale, lines, cost.wall, cost.cpu,
                    bench::median(wallTimes), cost.maxRssKb);
        std::fflush(stdout);
        walls.emplace_back(scale, cost.wall);
        if (scale >= 1) {
            std::printf("stages at scale %g:\n", scale);
            std::fflush(stdout);
            bench::measureChild([&] { return timeStages(csv, work); });
        }
    }
    for (std::size_t i = 1; i < walls.size(); ++i)
        std::printf("scale %g -> %g: input x%g, time x%.2f\n", walls[i - 1].first, walls[i].first,
                    walls[i].first / walls[i - 1].first, walls[i].second / walls[i - 1].second);
    fs::remove_all(root);
    return 0;
}

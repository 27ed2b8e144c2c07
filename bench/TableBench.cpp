// Appends and posts 1,000,000 records of the groups table and closes it, and compares in the same
// run with shapelib's dbfopen writing the same fields and with plain buffered writes of the same
// bytes. Then the teachers table with its index, and locate and find-key on 100,000 records.
#include "BenchUtil.h"
#include "tables/Table.h"
#include "tables/WorkFolder.h"

#include <shapefil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

/// The text of field `f` of record `r`: varied, some accented, some cut by the width. Made once
/// for 1000 records and reused, so that the contenders are timed and not the making of values.
const std::string& value(long r, std::size_t f)
{
    static const std::vector<std::vector<std::string>> pool = [] {
        static const char* const words[] = {"1\xBA ESO A", "Matem\xE1ticas", "GRUPO", "Educaci\xF3n f\xEDsica", "X"};
        std::vector<std::vector<std::string>> p(1000);
        for (long i = 0; i < 1000; ++i)
            for (long f = 0; f < 20; ++f)
                p[static_cast<std::size_t>(i)].push_back(std::string(words[(i + f) % 5]) + std::to_string((i * 7 + f) % 1000));
        return p;
    }();
    return pool[static_cast<std::size_t>(r % 1000)][f];
}

long syscallsWritten()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    long v = 0;
    while (io >> key >> v)
        if (key == "syscw:")
            return v;
    return -1;
}

int ours(const fs::path& dir, const conv::TableLayout& layout, long records, long* writes)
{
    conv::rebuildTable(dir, layout);
    const long before = syscallsWritten();
    conv::Table t(dir, std::string(layout.name) + ".DBF");
    t.open();
    std::vector<conv::FieldRef> fields;
    for (int i = 0; i < t.fieldCount(); ++i)
        fields.push_back(t.field(i));
    for (long r = 0; r < records; ++r) {
        t.append();
        for (std::size_t f = 0; f < fields.size(); ++f)
            fields[f].setString(f == 0 ? std::to_string(r * 7919 % records) : value(r, f));
        t.post();
    }
    t.close();
    if (writes)
        *writes = syscallsWritten() - before;
    return 0;
}

int shapelib(const fs::path& dir, const conv::TableLayout& layout, long records)
{
    DBFHandle h = DBFCreate((dir / "SHAPE.DBF").c_str());
    for (const conv::FieldDef& f : layout.fields)
        DBFAddField(h, std::string(f.name).substr(0, 10).c_str(), FTString, f.width, 0);
    for (long r = 0; r < records; ++r)
        for (std::size_t f = 0; f < layout.fields.size(); ++f)
            DBFWriteStringAttribute(h, static_cast<int>(r), static_cast<int>(f), value(r, f).c_str());
    DBFClose(h);
    return 0;
}

/// The same bytes through stdio with a 1 MiB buffer: header, records, end mark.
int plain(const fs::path& dir, const conv::TableLayout& layout, long records)
{
    FILE* out = std::fopen((dir / "PLAIN.DBF").c_str(), "wb");
    std::vector<char> buffer(1 << 20);
    std::setvbuf(out, buffer.data(), _IOFBF, buffer.size());
    std::string header(68 + 48 * layout.fields.size() + 1, '\0');
    std::fwrite(header.data(), 1, header.size(), out);
    std::string record;
    for (long r = 0; r < records; ++r) {
        record.assign(1, ' ');
        for (std::size_t f = 0; f < layout.fields.size(); ++f) {
            const std::string& v = value(r, f);
            const auto width = static_cast<std::size_t>(layout.fields[f].width);
            record.append(v, 0, width);
            record.append(width - std::min(width, v.size()), ' ');
        }
        std::fwrite(record.data(), 1, record.size(), out);
    }
    std::fputc(0x1A, out);
    std::fclose(out);
    return 0;
}

double perCall(const std::function<void()>& call, int calls)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i)
        call();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / calls;
}

void searches(const fs::path& dir)
{
    std::printf("\nlocate (a value no record holds: a whole scan) and find-key on PROFT (index ABREV), cost per call:\n");
    std::printf("%10s %16s %16s %18s\n", "records", "locate (us)", "find-key (us)", "locate 2 fields (us)");
    for (long n : {1000L, 10000L, 100000L}) {
        ours(dir, conv::layouts::PROFT, n, nullptr);
        conv::Table t(dir, "PROFT.DBF");
        t.setIndexName("ABREV");
        t.open();
        std::mt19937 rng(7);
        const double findKey = perCall([&] { t.findKey(conv::Value(std::to_string(rng() % n * 7919 % n))); }, 20000);
        // A value no record holds: locate reads the whole table in index order, its worst case.
        const double locate = perCall([&] { t.locate("NOMBRE", conv::Value(std::string("no such name"))); },
                                      n >= 100000 ? 20 : 200);
        const double locate2 = perCall(
            [&] { t.locate("NOMBRE;DEPART", {conv::Value(value(5, 1)), conv::Value(std::string("none"))}); },
            n >= 100000 ? 20 : 200);
        std::printf("%10ld %16.2f %16.3f %18.2f\n", n, locate, findKey, locate2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const fs::path dir = fs::temp_directory_path() / "conv-bench-tables";
    fs::create_directories(dir);
    std::printf("%ld records of GRUPOST (17 text fields, %d bytes a record); %d interleaved rounds\n", records, 661,
                rounds);

    long writes = 0;
    std::fflush(stdout);
    {
        const pid_t pid = fork();
        if (pid == 0) {
            ours(dir, conv::layouts::GRUPOST, records, &writes);
            std::printf("write system calls for the whole table: %ld (%.4f a record)\n", writes,
                        static_cast<double>(writes) / static_cast<double>(records));
            std::fflush(stdout);
            _exit(0);
        }
        int status;
        waitpid(pid, &status, 0);
    }

    bench::Comparison cmp;
    (void)value(0, 0);
    cmp.add("ours GRUPOST", [&] { return bench::measureChild([&] { return ours(dir, conv::layouts::GRUPOST, records, nullptr); }); });
    cmp.add("shapelib dbfopen GRUPOST", [&] { return bench::measureChild([&] { return shapelib(dir, conv::layouts::GRUPOST, records); }); });
    cmp.add("plain buffered write GRUPOST", [&] { return bench::measureChild([&] { return plain(dir, conv::layouts::GRUPOST, records); }); });
    cmp.add("ours PROFT with index", [&] { return bench::measureChild([&] { return ours(dir, conv::layouts::PROFT, records, nullptr); }); });
    cmp.add("plain buffered write PROFT", [&] { return bench::measureChild([&] { return plain(dir, conv::layouts::PROFT, records); }); });
    cmp.run(rounds);
    cmp.print();
    const auto o = cmp.medianOf("ours GRUPOST");
    const auto s = cmp.medianOf("shapelib dbfopen GRUPOST");
    const auto p = cmp.medianOf("plain buffered write GRUPOST");
    const auto op = cmp.medianOf("ours PROFT with index");
    const auto pp = cmp.medianOf("plain buffered write PROFT");
    std::printf("records a second, ours: %.0f; shapelib: %.0f; plain: %.0f\n", records / o.wall, records / s.wall,
                records / p.wall);
    std::printf("speed-up over shapelib (wall): %.1fx (goal >= 6)\n", s.wall / o.wall);
    std::printf("ours / plain buffered write (wall): %.2f (goal <= 3); user+sys: %.2f\n", o.wall / p.wall, o.cpu / p.cpu);
    std::printf("PROFT with index / plain (wall): %.2f\n", op.wall / pp.wall);
    searches(dir);
    fs::remove_all(dir);
    return 0;
}

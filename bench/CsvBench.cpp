// Reads, decodes and splits a generated XADE-like file of 1,000,000 lines and 6 fields, and
// compares it with two yardsticks on the same file: iconv's UTF-8 to Windows-1252 conversion
// alone, and a plain read of the bytes. Also reads a tenth of the file to show that memory
// does not grow with the file's length.
#include "BenchUtil.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace
{

const char* const kWords[] = {
    "Matem\xC3\xA1ticas", "Lingua galega", "F\xC3\xADsica",        "Educaci\xC3\xB3n f\xC3\xADsica",
    "Historia",           "Ingl\xC3\xA9s", "Tecnolox\xC3\xAD\x61", "M\xC3\xBAsica"};
const char* const kPlain[] = {"ESO-1", "BAC-2", "GRUPO-1A", "GRUPO-2B", "Aula12", "LAB-3", "FP-ADM", "XADE-OK"};

void generate(const std::filesystem::path& path, long lines)
{
    std::mt19937 rng(20261209);
    std::ofstream out(path, std::ios::binary);
    // No byte-order mark: iconv without transliteration refuses it, and it is one line of many.
    out << "CODIGO,CURSO,NOME,GRUPO,MATERIA,OBS\r\n";
    std::string line;
    for (long i = 0; i < lines; ++i) {
        line.clear();
        for (int f = 0; f < 6; ++f) {
            if (f)
                line += ',';
            const unsigned r = rng();
            const bool quoted = (r & 1) != 0;
            const bool accented = (r & 2) != 0;
            std::string text = accented ? kWords[(r >> 2) % 8] : kPlain[(r >> 2) % 8];
            text += std::to_string(100000 + (r >> 5) % 900000);
            if (quoted)
                line += '"' + text + '"';
            else
                line += text.substr(0, text.find(' '));
        }
        line += "\r\n";
        out << line;
    }
}

int readDecodeSplit(const std::filesystem::path& path)
{
    conv::CsvReader reader = conv::CsvReader::open(path);
    std::string raw, decoded;
    conv::FieldList fields;
    long count = 0;
    while (reader.nextLine(raw)) {
        conv::decodeLine(raw, decoded);
        conv::splitLine(decoded, fields);
        count += fields.count();
    }
    return count > 0 ? 0 : 1;
}

int plainRead(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::string buffer(1 << 18, '\0');
    long total = 0;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
        total += n;
    ::close(fd);
    return total > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    const auto dir = std::filesystem::temp_directory_path();
    const auto big = dir / "conv-bench-csv-big.csv";
    const auto small = dir / "conv-bench-csv-small.csv";
    generate(big, lines);
    generate(small, lines / 10);
    std::printf("file: %ld lines, %.1f MB; %d interleaved rounds\n", lines,
                static_cast<double>(std::filesystem::file_size(big)) / 1e6, rounds);

    bench::Comparison cmp;
    cmp.add("read+decode+split", [&] { return bench::measureChild([&] { return readDecodeSplit(big); }); });
    cmp.add("iconv -f UTF-8 -t WINDOWS-1252",
            [&] { return bench::measureCommand("iconv -f UTF-8 -t WINDOWS-1252 '" + big.string() + "' > /dev/null"); });
    cmp.add("plain read", [&] { return bench::measureChild([&] { return plainRead(big); }); });
    cmp.add("read+decode+split, tenth of file",
            [&] { return bench::measureChild([&] { return readDecodeSplit(small); }); });
    cmp.run(rounds);
    cmp.print();

    const auto ours = cmp.medianOf("read+decode+split");
    const auto iconv = cmp.medianOf("iconv -f UTF-8 -t WINDOWS-1252");
    const auto tenth = cmp.medianOf("read+decode+split, tenth of file");
    std::printf("ratio ours/iconv (wall): %.2f (goal <= 1.0)\n", ours.wall / iconv.wall);
    std::printf("ratio ours/iconv (user+sys): %.2f\n", ours.cpu / iconv.cpu);
    std::printf("peak memory, whole file vs tenth: %ld KiB vs %ld KiB\n", ours.maxRssKb, tenth.maxRssKb);
    std::filesystem::remove(big);
    std::filesystem::remove(small);
    return 0;
}

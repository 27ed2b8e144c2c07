// Free Pascal's TDbf, written to match the timetable program's dBase engine, reads every table we
// write: the fields, the values, the order of each index and key searches must be what we wrote.
#include "TableTestUtil.h"
#include "tables/WorkFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace conv
{
namespace
{

using test::TempDir;

#ifdef CONV_TDBF_READER
constexpr const char* kReader = CONV_TDBF_READER;
#else
constexpr const char* kReader = nullptr;
#endif

std::string quote(const std::string& arg)
{
    std::string out = "'";
    for (char c : arg)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::vector<std::string> runReader(const std::vector<std::string>& args)
{
    std::string command = kReader;
    for (const auto& a : args)
        command += " " + quote(a);
    std::vector<std::string> lines;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return lines;
    std::string all;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        all.append(buf, n);
    ::pclose(p);
    std::istringstream in(all);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

/// What one written record holds, as TDbf shows it ("<null>" for an empty field).
using Row = std::vector<std::string>;

const char* const kTexts[] = {"\xC1lvaro", "N\xFA\xF1\x65z", "abc", "ABC", "", "zeta", "0123456789ABCDEFGHIJ",
                              "Z", "a b"};
const std::int32_t kIntegers[] = {-5, 0, 7, 120, 2147483647, 10, 3};
const double kFloats[] = {-1.5, 0, 2.25, 1000.125, 7, -0.5};

/// Fills a table of `layout` with `count` records made from the pools above, with an empty
/// value now and then, and gives the rows as TDbf should show them.
std::vector<Row> fill(const std::filesystem::path& dir, const TableLayout& layout, int count)
{
    std::vector<Row> rows;
    Table t(dir, std::string(layout.name) + ".DBF");
    t.open();
    for (int r = 0; r < count; ++r) {
        Row row;
        t.append();
        for (std::size_t f = 0; f < layout.fields.size(); ++f) {
            const FieldDef& def = layout.fields[f];
            FieldRef field = t.field(static_cast<int>(f));
            const int pick = (r * 7 + static_cast<int>(f) * 3) % 11;
            if (pick == 10) { // left empty
                row.push_back("<null>");
                continue;
            }
            switch (def.kind) {
            case FieldKind::Text: {
                std::string text = kTexts[pick % 9];
                if (pick % 9 != 4)
                    text += std::to_string(r % 13);
                field.setString(text);
                text = text.substr(0, static_cast<std::size_t>(def.width));
                while (!text.empty() && text.back() == ' ')
                    text.pop_back();
                row.push_back(text.empty() ? "<null>" : text);
                break;
            }
            case FieldKind::Integer:
                field.setInteger(kIntegers[pick % 7]);
                row.push_back(std::to_string(kIntegers[pick % 7]));
                break;
            case FieldKind::Float:
                field.setFloat(kFloats[pick % 6]);
                row.push_back(t.field(static_cast<int>(f)).asString());
                break;
            case FieldKind::Logical:
                field.setBoolean(pick % 2 == 0);
                row.push_back(pick % 2 == 0 ? "True" : "False");
                break;
            }
        }
        t.post();
        rows.push_back(row);
    }
    return rows;
}

std::vector<Row> recordsSeen(const std::vector<std::string>& lines)
{
    std::vector<Row> rows;
    for (const std::string& line : lines)
        if (line.rfind("REC\t", 0) == 0) {
            Row row;
            std::istringstream in(line.substr(4));
            for (std::string v; std::getline(in, v, '\t');)
                row.push_back(v);
            rows.push_back(row);
        }
    return rows;
}

/// TDbf prints an empty last column as nothing; pad rows to their width for comparing.
void pad(std::vector<Row>& rows, std::size_t width)
{
    for (Row& r : rows)
        r.resize(width);
}

class TdbfReads : public ::testing::TestWithParam<const TableLayout*>
{
};

TEST_P(TdbfReads, ValuesIndexOrderAndKeySearches)
{
    if (!kReader)
        GTEST_SKIP() << "fpc was not found when building; TDbf comparison skipped";
    const TableLayout& layout = *GetParam();
    TempDir dir;
    rebuildTable(dir.path(), layout);
    const int count = layout.indexes.empty() ? 40 : 150; // 150 keys make a two-level tree
    std::vector<Row> rows = fill(dir.path(), layout, count);
    const std::string table = std::string(layout.name) + ".DBF";
    if (!layout.indexes.empty()) // TDbf looks for TABLE.mdx when the path is not all upper case
        std::filesystem::create_symlink(std::string(layout.name) + ".MDX", dir / (std::string(layout.name) + ".mdx"));

    auto lines = runReader({dir.path().string() + "/", table});
    ASSERT_FALSE(lines.empty());
    ASSERT_EQ(lines[0], "LEVEL 7");
    auto seen = recordsSeen(lines);
    pad(seen, layout.fields.size());
    pad(rows, layout.fields.size());
    EXPECT_EQ(seen, rows);

    for (std::string_view tag : layout.indexes) {
        SCOPED_TRACE(std::string(tag));
        std::size_t column = 0;
        while (layout.fields[column].name != tag)
            ++column;
        const bool numeric = layout.fields[column].kind != FieldKind::Text;
        // Expected order: by key (bytes, or number with empty as 0), equal keys in record order.
        std::vector<std::size_t> order(rows.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        auto key = [&](std::size_t i) { return rows[i][column] == "<null>" ? std::string() : rows[i][column]; };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            if (numeric)
                return (key(a).empty() ? 0.0 : std::stod(key(a))) < (key(b).empty() ? 0.0 : std::stod(key(b)));
            return key(a) < key(b);
        });
        std::vector<std::string> args{dir.path().string() + "/", table, std::string(tag)};
        std::map<std::string, std::size_t> firstWithKey;
        for (std::size_t i : order) {
            const std::string k = numeric && key(i).empty() ? "0" : key(i); // an empty number is indexed as 0
            if (!k.empty() && !firstWithKey.count(k))
                firstWithKey[k] = i;
        }
        for (const auto& [k, i] : firstWithKey)
            args.push_back(numeric ? "#" + k : k);
        args.push_back(numeric ? "#999" : "no such key");
        lines = runReader(args);
        std::vector<Row> expected;
        for (std::size_t i : order)
            expected.push_back(rows[i]);
        seen = recordsSeen(lines);
        pad(seen, layout.fields.size());
        EXPECT_EQ(seen, expected);
        for (const auto& [k, i] : firstWithKey) {
            Row found{rows[i]};
            std::string line = "FOUND " + (numeric ? "#" + k : k);
            for (const std::string& v : found)
                line += "\t" + (v == "<null>" ? std::string() : v);
            while (!line.empty() && line.back() == '\t')
                line.pop_back();
            bool present = false;
            for (std::string l : lines) {
                while (!l.empty() && l.back() == '\t')
                    l.pop_back();
                present = present || l == line;
            }
            EXPECT_TRUE(present) << "TDbf did not find " << line;
        }
        EXPECT_EQ(lines.back(), numeric ? "MISSING #999" : "MISSING no such key");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, TdbfReads, ::testing::ValuesIn(layouts::all().begin(), layouts::all().end()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(TdbfReadsBigTree, ThreeLevelsOfKeysInOrder)
{
    if (!kReader)
        GTEST_SKIP() << "fpc was not found when building; TDbf comparison skipped";
    TempDir dir;
    rebuildTable(dir.path(), layouts::PROFT);
    std::vector<std::string> keys;
    {
        Table t(dir.path(), "PROFT.DBF");
        t.open();
        for (int i = 0; i < 6000; ++i) {
            t.append();
            keys.push_back("P" + std::to_string((i * 7919) % 6007));
            t.fieldByName("ABREV").setString(keys.back());
            t.post();
        }
    }
    std::filesystem::create_symlink("PROFT.MDX", dir / "PROFT.mdx");
    auto lines = runReader({dir.path().string() + "/", "PROFT.DBF", "ABREV", "P0", "P6006", "P3000", "P6007"});
    std::sort(keys.begin(), keys.end());
    std::vector<std::string> seen;
    for (const Row& r : recordsSeen(lines))
        seen.push_back(r.at(0));
    EXPECT_EQ(seen, keys);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("FOUND", 0) == 0; }),
              3);
    EXPECT_EQ(lines.back(), "MISSING P6007");
}

} // namespace
} // namespace conv

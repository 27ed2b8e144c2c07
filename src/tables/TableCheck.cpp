#include "tables/TableCheck.h"

#include "common/Error.h"
#include "common/IoErrors.h"
#include "tables/Bytes.h"
#include "tables/DbfFormat.h"
#include "tables/EngineError.h"
#include "tables/MdxFormat.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

constexpr std::size_t kMaxProblems = 200;

std::string firstLine(const char* text)
{
    const std::string s = text;
    return s.substr(0, s.find('\n'));
}

std::string readFile(const fs::path& p)
{
    // A folder holds no table.
    if (platform::fileKind(p) == platform::FileKind::Directory)
        throwEngine(engine::kTableMissing, p);
    return platform::readWholeFile(p, &throwEngineFailure);
}

class Checker
{
public:
    Checker(TableCheck& out)
        : m_out(out)
    {
    }

    void problem(std::string text)
    {
        if (m_out.problems.size() < kMaxProblems)
            m_out.problems.push_back(std::move(text));
    }

    void records(const std::string& bytes, const dbf::Header& h)
    {
        for (std::uint32_t r = 1; r <= h.recordCount; ++r) {
            const char* rec = bytes.data() + h.headerLength + std::size_t(r - 1) * h.recordLength;
            if (rec[0] == dbf::kDeleted)
                ++m_out.deleted;
            else if (rec[0] != dbf::kLive)
                problem("record " + std::to_string(r) + ": deletion flag is neither blank nor '*'");
            for (const dbf::Field& f : h.fields)
                fieldValue(f, rec + f.offset, r);
        }
        const std::size_t end = h.headerLength + std::size_t(h.recordCount) * h.recordLength;
        if (bytes.size() <= end || static_cast<unsigned char>(bytes[end]) != dbf::kEndOfFile)
            problem("no end-of-file mark (1A hex) after the last record");
        else if (bytes.size() > end + 1)
            problem(std::to_string(bytes.size() - end - 1) + " bytes follow the end-of-file mark");
    }

    void fieldValue(const dbf::Field& f, const char* p, std::uint32_t r)
    {
        const std::string_view s(p, static_cast<std::size_t>(f.length));
        bool bad = false;
        if (f.type == 'L')
            bad = std::strchr("TtFfYyNn ?", p[0]) == nullptr || p[0] == '\0';
        else if (f.type == 'D')
            bad = s.find_first_not_of(' ') != std::string_view::npos &&
                  s.find_first_not_of("0123456789") != std::string_view::npos;
        else if (f.type == 'N' || f.type == 'F')
            bad = s.find_first_not_of(" ") != std::string_view::npos &&
                  std::holds_alternative<std::monostate>(dbf::decode(f, p)) &&
                  s.find_first_not_of(" *") != std::string_view::npos;
        if (bad)
            problem("record " + std::to_string(r) + ": field " + f.name + " holds no valid " + f.type + " value");
    }

    void index(const std::string& dbfBytes, const dbf::Header& h, const std::string& mdxBytes, const fs::path& mdxName,
               const std::string& stem)
    {
        mdx::FileInfo info;
        try {
            info = mdx::parse(mdxBytes, mdxName);
        } catch (const Error& e) {
            problem(mdxName.filename().string() + ": " + firstLine(e.what()));
            return;
        }
        m_out.tags = info.tags.size();
        if (!equalNoCase(info.dbfName, stem))
            problem("the index names table '" + info.dbfName + "', not '" + stem + "'");
        if (info.totalPages != mdxBytes.size() / mdx::kPageSize)
            problem("the index header counts " + std::to_string(info.totalPages) + " pages; the file has " +
                    std::to_string(mdxBytes.size() / mdx::kPageSize));
        for (const dbf::Field& f : h.fields) {
            const bool hasTag = std::any_of(info.tags.begin(), info.tags.end(),
                                            [&](const mdx::TagInfo& t) { return equalNoCase(t.expression, f.name); });
            if (f.tagged != hasTag && h.level7)
                problem("field " + f.name + (f.tagged ? " is marked indexed but has no tag" : " has a tag but is not marked indexed"));
        }
        for (const mdx::TagInfo& t : info.tags)
            tag(dbfBytes, h, mdxBytes, info, t);
    }

    void tag(const std::string& dbfBytes, const dbf::Header& h, const std::string& mdxBytes, const mdx::FileInfo& info,
             const mdx::TagInfo& t)
    {
        const mdx::Walk walk = mdx::walkTag(mdxBytes, info, t);
        for (const std::string& p : walk.problems)
            problem(p);
        const auto field = std::find_if(h.fields.begin(), h.fields.end(),
                                        [&](const dbf::Field& f) { return equalNoCase(f.name, t.expression); });
        if (field == h.fields.end() || !walk.problems.empty())
            return; // keys of an expression are not evaluated here
        std::vector<std::uint32_t> seen(h.recordCount + 1, 0);
        for (const mdx::KeyEntry& e : walk.entries) {
            if (e.recno < 1 || e.recno > h.recordCount) {
                problem("tag " + t.name + ": record number " + std::to_string(e.recno) + " is not in the table");
                continue;
            }
            if (++seen[e.recno] == 2)
                problem("tag " + t.name + ": record " + std::to_string(e.recno) + " is in the tag twice");
            const char* rec = dbfBytes.data() + h.headerLength + std::size_t(e.recno - 1) * h.recordLength;
            if (!keyMatches(t, *field, rec + field->offset, e.key))
                problem("tag " + t.name + ": the key of record " + std::to_string(e.recno) +
                        " differs from its field");
        }
        for (std::uint32_t r = 1; r <= h.recordCount; ++r) {
            const char* rec = dbfBytes.data() + h.headerLength + std::size_t(r - 1) * h.recordLength;
            if (seen[r] == 0 && rec[0] != dbf::kDeleted)
                problem("tag " + t.name + ": record " + std::to_string(r) + " is missing");
        }
    }

    static bool keyMatches(const mdx::TagInfo& t, const dbf::Field& f, const char* data, const std::string& key)
    {
        if (t.keyType == 'C')
            return f.type == 'C' && key.size() == static_cast<std::size_t>(f.length) &&
                   std::memcmp(key.data(), data, key.size()) == 0;
        if (t.keyType != 'N')
            return true;
        const Value v = dbf::decode(f, data);
        double d = 0;
        if (const auto* i = std::get_if<std::int32_t>(&v))
            d = *i;
        else if (const auto* x = std::get_if<double>(&v))
            d = *x;
        const double k = mdx::numericKeyValue(key);
        return k == d || std::abs(k - d) <= 1e-9 * std::max(1.0, std::abs(d));
    }

private:
    TableCheck& m_out;
};

} // namespace

TableCheck checkTableBytes(const std::string& dbfBytes, const std::string* mdxBytes, const fs::path& name)
{
    TableCheck out;
    Checker c(out);
    dbf::Header h;
    try {
        h = dbf::parseHeader(dbfBytes, dbfBytes.size(), name);
    } catch (const Error& e) {
        c.problem(firstLine(e.what()));
        return out;
    }
    out.records = h.recordCount;
    c.records(dbfBytes, h);
    fs::path mdxName = name;
    mdxName.replace_extension(".MDX");
    if (h.hasMdx && !mdxBytes)
        c.problem("the header flags a production index, and " + mdxName.filename().string() + " is missing");
    else if (h.hasMdx)
        c.index(dbfBytes, h, *mdxBytes, mdxName, name.stem().string());
    else if (std::any_of(h.fields.begin(), h.fields.end(), [](const dbf::Field& f) { return f.tagged; }) && h.level7)
        c.problem("fields are marked indexed, and the header flags no production index");
    return out;
}

TableCheck checkTable(const fs::path& dbf)
{
    const std::string dbfBytes = readFile(dbf);
    const fs::path folder = dbf.has_parent_path() ? dbf.parent_path() : fs::path(".");
    const fs::path mdxPath = findNoCase(folder, dbf.stem().string() + ".MDX");
    std::error_code ec;
    if (!fs::is_regular_file(mdxPath, ec))
        return checkTableBytes(dbfBytes, nullptr, dbf);
    const std::string mdxBytes = readFile(mdxPath);
    return checkTableBytes(dbfBytes, &mdxBytes, dbf);
}

} // namespace conv

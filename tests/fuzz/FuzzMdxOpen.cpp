// Reads arbitrary bytes as the production index of a small fixed table: the index header and
// tag checks when the table opens with a tag selected, reading in index order, a key search,
// and the table check's walk of every tag's tree (cycles, pages outside the file, bad counts).
#include "FuzzSupport.h"
#include "tables/DbfFormat.h"
#include "tables/TableCheck.h"

#include <cstdint>
#include <cstring>

namespace
{

/// TAB.DBF: CODE C(4) and N I(4), both indexed, five records.
const std::string& fixedTable()
{
    static const std::string bytes = [] {
        std::vector<conv::dbf::Field> fields(2);
        fields[0].name = "CODE";
        fields[0].type = 'C';
        fields[0].length = 4;
        fields[0].tagged = true;
        fields[1].name = "N";
        fields[1].type = 'I';
        fields[1].length = 4;
        fields[1].tagged = true;
        std::string b = conv::dbf::buildHeader7(fields, 5, true);
        const char* records[] = {" B   \x80\x00\x00\x02", " A   \x80\x00\x00\x01", "*C   \x7F\xFF\xFF\xFF",
                                 " A   \x00\x00\x00\x00", " AB  \x80\x00\x00\x0A"};
        for (const char* r : records)
            b.append(r, 9);
        b += '\x1A';
        return b;
    }();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string mdx(reinterpret_cast<const char*>(data), size);
    const auto& dir = conv::fuzz::scratchFolder();
    conv::fuzz::writeFile(dir / "TAB.DBF", fixedTable());
    conv::fuzz::writeFile(dir / "TAB.MDX", mdx);
    (void)conv::checkTableBytes(fixedTable(), &mdx, dir / "TAB.DBF");
    for (const char* tag : {"CODE", "N"}) {
        try {
            conv::Table t(dir, "TAB.DBF");
            t.setReadOnly(true);
            t.setIndexName(tag);
            t.open();
            conv::fuzz::readAll(t);
            (void)t.findKey(conv::Value(std::string("A")));
        } catch (const conv::Error& e) {
            if (std::strstr(e.what(), "TAB.") == nullptr && std::strstr(e.what(), "valid") == nullptr)
                std::abort();
        }
    }
    return 0;
}

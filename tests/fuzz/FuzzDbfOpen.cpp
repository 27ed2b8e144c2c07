// Opens arbitrary bytes as a dBase table: the header checks, then every record read through the
// table handle, a locate, and the table check. Only the engine's errors may come out.
#include "FuzzSupport.h"
#include "tables/TableCheck.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto& dir = conv::fuzz::scratchFolder();
    std::error_code ec;
    std::filesystem::remove(dir / "F.MDX", ec);
    conv::fuzz::writeFile(dir / "F.DBF", bytes);
    (void)conv::checkTableBytes(bytes, nullptr, dir / "F.DBF");
    try {
        conv::Table t(dir, "F.DBF");
        t.setReadOnly(true);
        t.open();
        conv::fuzz::readAll(t);
        if (t.fieldCount() > 0)
            (void)t.locate(t.fields()[0].name, conv::Value(std::string("A")));
    } catch (const conv::Error& e) {
        if (std::strstr(e.what(), "F.DBF") == nullptr && std::strstr(e.what(), "F.MDX") == nullptr &&
            std::strstr(e.what(), "valid") == nullptr)
            std::abort(); // every engine error names its file
    }
    return 0;
}

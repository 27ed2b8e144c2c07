// Reads arbitrary bytes as an XADE file: line reading at a small buffer size chosen by the
// first byte, then decoding, splitting and field access on every line, with invariants checked.
#include "common/Error.h"
#include "text/CsvLine.h"
#include "text/CsvReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t bufferSize = 1 + data[0] % 16;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    conv::CsvReader reader(std::make_unique<conv::MemorySource>(bytes), bufferSize);
    std::string raw, decoded;
    conv::FieldList fields;
    std::size_t total = 0;
    while (!reader.atEnd()) {
        reader.nextLine(raw);
        total += raw.size();
        if (raw.find('\r') != std::string::npos || raw.find('\n') != std::string::npos ||
            raw.find('\x1A') != std::string::npos || total > bytes.size())
            std::abort();
        conv::decodeLine(raw, decoded);
        if (decoded.size() > raw.size())
            std::abort();
        conv::splitLine(decoded, fields);
        std::size_t chars = 0;
        for (const std::string& f : fields)
            chars += f.size();
        if (chars > decoded.size())
            std::abort();
        try {
            (void)fields.at(fields.count());
            std::abort();
        } catch (const conv::Error& e) {
            if (std::strncmp(e.what(), "List index out of bounds (", 26) != 0)
                std::abort();
        }
    }
    return 0;
}

#include "shell/StartMode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace conv
{
namespace
{

TEST(HexParameter, Conversion)
{
    const std::pair<const char*, std::int32_t> valid[] = {
        {"1A2B", 0x1A2B},         {"0001A2B", 0x1A2B},     {"1a2b", 0x1A2B},        {"0", 0},
        {"FFFFFFFF", -1},         {"80000000", INT32_MIN}, {"7FFFFFFF", INT32_MAX}, {"0000000000FFFFFFFF", -1},
        {"0fffffff", 0x0FFFFFFF},
    };
    for (const auto& [text, value] : valid)
        EXPECT_EQ(hexParameter(text), value) << text;

    const char* invalid[] = {"0x1A2B", "-1A2B", "123456789", "", " 1A2B", "1A2B ", "+1", "1G", "$1", "FFFFFFFF0"};
    for (const char* text : invalid)
        EXPECT_ERROR_TEXT(hexParameter(text), "'$" + std::string(text) + "' is not a valid integer value");
}

TEST(StartMode, FromParameters)
{
    struct Case
    {
        std::vector<std::string> params;
        bool embedded;
        std::int32_t handle;
        bool hide2, hide3;
        const char* error;
    } cases[] = {
        {{}, false, 0, false, false, nullptr},
        {{"importar"}, false, 0, false, false, nullptr},
        {{"importar", "1A2B", "x"}, false, 0, false, false, nullptr},
        {{"importar", "1A2B"}, true, 0x1A2B, true, false, nullptr},
        {{"IMPORTAR", "1A2B"}, true, 0x1A2B, true, false, nullptr},
        {{"Importar", "1a2b"}, true, 0x1A2B, true, false, nullptr},
        {{"exportar", "0001A2B"}, true, 0x1A2B, false, true, nullptr},
        {{"otro", "1A2B"}, true, 0x1A2B, false, false, nullptr},
        {{"IMPORTAR\xC1", "1A2B"}, true, 0x1A2B, false, false, nullptr}, // only A-Z are lowered
        {{"importar", "0x1A2B"}, false, 0, false, false, "'$0x1A2B' is not a valid integer value"},
        {{"importar", "-1A2B"}, false, 0, false, false, "'$-1A2B' is not a valid integer value"},
        {{"importar", "123456789"}, false, 0, false, false, "'$123456789' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params.empty() ? "(none)" : c.params[0] + " " + (c.params.size() > 1 ? c.params[1] : ""));
        const StartMode m = decideStartMode(c.params);
        EXPECT_EQ(m.embedded, c.embedded);
        EXPECT_EQ(m.numParametros, c.embedded ? 2 : 0);
        EXPECT_EQ(m.parentHandle, c.handle);
        EXPECT_EQ(m.hideDraw3D2, c.hide2);
        EXPECT_EQ(m.hideDraw3D3, c.hide3);
        EXPECT_EQ(m.error.value_or(""), c.error ? c.error : "");
    }
}

TEST(ErrorBox, FullStopRule)
{
    const std::pair<const char*, const char*> cases[] = {
        {"I/O error 32", "I/O error 32."},
        {"List index out of bounds (3)", "List index out of bounds (3)"},
        {"File not found", "File not found."},
        {"'$0x1A2B' is not a valid integer value", "'$0x1A2B' is not a valid integer value."},
        {"Ends with a full stop.", "Ends with a full stop."},
        {"Ends with a comma,", "Ends with a comma,"},
        {"Ends with a slash/", "Ends with a slash/."},
        {"Accent \xE9", "Accent \xE9."},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(errorBoxText(in), out) << in;
}

} // namespace
} // namespace conv

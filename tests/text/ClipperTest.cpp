#include "text/Clipper.h"

#include <gtest/gtest.h>

#include <functional>

namespace conv
{
namespace
{

struct ClipperCase
{
    const char* name;
    std::function<std::string(std::string_view)> fn;
    std::string in;
    std::string out;
};

TEST(Clipper, Functions)
{
    using namespace Clipper;
    const ClipperCase cases[] = {
        {"QuitaBlancos empty", QuitaBlancos, "", ""},
        {"QuitaBlancosIzq empty", QuitaBlancosIzq, "", ""},
        {"QuitaBlancosDer empty", QuitaBlancosDer, "", ""},
        {"Mayusculas empty", Mayusculas, "", ""},
        {"Iniciales empty", Iniciales, "", ""},
        {"QuitaBlancos only blanks", QuitaBlancos, "   ", ""},
        {"QuitaBlancosIzq only blanks", QuitaBlancosIzq, "   ", ""},
        {"QuitaBlancosDer only blanks", QuitaBlancosDer, "   ", ""},
        {"QuitaBlancos keeps inner blank", QuitaBlancos, " a b ", "a b"},
        {"QuitaBlancosIzq leading only", QuitaBlancosIzq, "  a b  ", "a b  "},
        {"QuitaBlancosDer trailing only", QuitaBlancosDer, "  a b  ", "  a b"},
        {"QuitaBlancos keeps tabs", QuitaBlancos, "\ta \t", "\ta \t"},
        {"QuitaBlancos keeps nul", QuitaBlancos, std::string(" \0 ", 3), std::string("\0", 1)},
        {"Mayusculas name", Mayusculas, "Juan P\xE9rez-L\xF3pez", "JPL"},
        {"Mayusculas accented capital dropped", Mayusculas, "\xC1LVARO", "LVARO"},
        {"Mayusculas digits and punctuation dropped", Mayusculas, "1A-b.Z9[@", "AZ"},
        {"Iniciales skips first word", Iniciales, "Lengua Castellana y Literatura", "CyL"},
        {"Iniciales with leading blank", Iniciales, " Lengua Castellana y Literatura", "LCyL"},
        {"Iniciales three blanks", Iniciales, "   ", "  "},
        {"Iniciales trailing blank adds nothing", Iniciales, "a b ", "b"},
        {"Iniciales two blanks in a row", Iniciales, "a  b", " b"},
        {"Iniciales tab is not a blank", Iniciales, "a\tb c", "c"},
    };
    for (const ClipperCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.fn(c.in), c.out);
    }
}

} // namespace
} // namespace conv

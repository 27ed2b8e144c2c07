#include "export/ExportFixture.h"

#include <gtest/gtest.h>

namespace conv::test
{
namespace
{

namespace fs = std::filesystem;
using exporter::PlantillaCentro;

Row diasHoras(const char* dia, const char* hora, const char* desde, const char* hasta)
{
    return {{"DIA", std::string(dia)},
            {"HORA", std::string(hora)},
            {"HORADESDE", std::string(desde)},
            {"HORAHASTA", std::string(hasta)}};
}

class Template : public ExportFixture, public ::testing::Test
{
protected:
    RunState run{feedback, work};
};

TEST_F(Template, BuiltFromTheDayOnePeriodsOfDiasHoras)
{
    table(layouts::DIASHORAST,
          {diasHoras("2", "1", "07:00:00", "07:50:00"), diasHoras("1", "2", "09:00:00", "09:50:00"),
           diasHoras("1", "1", "08:00:00", "08:50:00"), diasHoras("01", "3", "10:00:00", "10:50:00"),
           diasHoras("1", "5", "8:00", "8:50"), diasHoras(" 1", "4", "11:00:00", "11:50:00")});
    PlantillaCentro(run);
    // Record order of DIASHORAST with its own numbers; only DIA "1" exactly; cut to five characters.
    EXPECT_EQ(dump(layouts::PLANTILLA), (std::vector<std::string>{"2|09:00|09:50", "1|08:00|08:50", "5|8:00|8:50"}));
    EXPECT_EQ(dump(layouts::PLANTILLA, "HORA"),
              (std::vector<std::string>{"1|08:00|08:50", "2|09:00|09:50", "5|8:00|8:50"}));
    // The handle stays open for the export.
    EXPECT_TRUE(run.table(Handle::wwTableDiasHorasT).isOpen());
    EXPECT_EQ(feedback.log, (std::vector<std::string>{"template", "busy: 1"}));
}

TEST_F(Template, DefaultOfTwentyPeriodsWithoutDiasHoras)
{
    PlantillaCentro(run);
    const auto rows = dump(layouts::PLANTILLA, "HORA");
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[0], "1|08:00|09:00");
    EXPECT_EQ(rows[7], "8|15:00|16:00");
    EXPECT_EQ(rows[15], "16|23:00|24:00");
    EXPECT_EQ(rows[16], "17|00:00|01:00");
    EXPECT_EQ(rows[19], "20|03:00|04:00");
    EXPECT_FALSE(run.table(Handle::wwTableDiasHorasT).isOpen());
    EXPECT_TRUE(fs::exists(work / "PLANTILLA.MDX"));
}

TEST_F(Template, ATemplateWithRecordsIsUsedUnchanged)
{
    table(layouts::PLANTILLA, {{{"HORA", std::int32_t(1)}, {"HORAINI", std::string("07:45")}}});
    table(layouts::DIASHORAST, {diasHoras("1", "1", "08:00:00", "08:50:00")});
    PlantillaCentro(run);
    EXPECT_EQ(dump(layouts::PLANTILLA), (std::vector<std::string>{"1|07:45|"}));
    EXPECT_FALSE(run.table(Handle::wwTableDiasHorasT).isOpen());
    EXPECT_EQ(feedback.templateChecks, 1);
}

TEST_F(Template, AnEmptyTemplateIsDeletedWithItsIndexAndBuiltAgain)
{
    {
        // An empty template of an older layout, with an index of its own.
        Table old(work, "PLANTILLA.DBF");
        old.setLayout(layouts::PLANTILLA);
        old.addField({"OTRO", FieldKind::Text, 3});
        old.addIndex("OTRO");
        old.createTable();
    }
    table(layouts::DIASHORAST, {diasHoras("1", "1", "08:00:00", "08:50:00")});
    PlantillaCentro(run);
    EXPECT_EQ(dump(layouts::PLANTILLA, "HORA"), (std::vector<std::string>{"1|08:00|08:50"}));
    Table rebuilt(work, "PLANTILLA.DBF");
    rebuilt.open();
    EXPECT_EQ(rebuilt.fieldCount(), 3);
    Table byOldIndex(work, "PLANTILLA.DBF");
    byOldIndex.setIndexName("OTRO");
    EXPECT_THROW(byOldIndex.open(), Error);
}

TEST_F(Template, NoDayOneInDiasHorasGivesAnEmptyTemplateBuiltAgainNextTime)
{
    table(layouts::DIASHORAST, {diasHoras("2", "1", "08:00:00", "08:50:00")});
    PlantillaCentro(run);
    EXPECT_TRUE(dump(layouts::PLANTILLA).empty());
    run.table(Handle::wwTableDiasHorasT).close();

    table(layouts::DIASHORAST, {diasHoras("1", "1", "08:30:00", "09:20:00")});
    RecordingFeedback again;
    RunState next(again, work);
    PlantillaCentro(next);
    EXPECT_EQ(dump(layouts::PLANTILLA), (std::vector<std::string>{"1|08:30|09:20"}));
}

// A period that is no whole number ends the direction before the template is touched: no
// part-built template is left for later runs to reuse, and once DIASHORAST is mended the next
// run builds the whole template.
TEST_F(Template, APeriodThatIsNoWholeNumberLeavesNoPartTemplate)
{
    struct Case
    {
        const char* name;
        bool emptyTemplateBefore;
    };
    for (const Case c : {Case{"no template before", false}, Case{"an empty template before", true}}) {
        SCOPED_TRACE(c.name);
        fs::remove(work / "PLANTILLA.DBF");
        fs::remove(work / "PLANTILLA.MDX");
        if (c.emptyTemplateBefore)
            table(layouts::PLANTILLA, {});
        table(layouts::DIASHORAST,
              {diasHoras("1", "1", "08:00:00", "08:50:00"), diasHoras("1", "2", "09:00", "09:50"),
               diasHoras("1", "3", "10:00", "10:50"), diasHoras("1", "4", "11:00", "11:50"),
               diasHoras("1", "abc", "12:00", "12:50")});
        {
            RecordingFeedback first;
            RunState failing(first, work);
            EXPECT_ERROR_TEXT(PlantillaCentro(failing), "'abc' is not a valid integer value");
            EXPECT_EQ(first.templateChecks, 0);
        }
        if (c.emptyTemplateBefore)
            EXPECT_TRUE(dump(layouts::PLANTILLA).empty());
        else
            EXPECT_FALSE(fs::exists(work / "PLANTILLA.DBF"));

        table(layouts::DIASHORAST,
              {diasHoras("1", "1", "08:00:00", "08:50:00"), diasHoras("1", "2", "09:00", "09:50")});
        RecordingFeedback again;
        RunState next(again, work);
        PlantillaCentro(next);
        EXPECT_EQ(dump(layouts::PLANTILLA), (std::vector<std::string>{"1|08:00|08:50", "2|09:00|09:50"}));
    }
}

} // namespace
} // namespace conv::test

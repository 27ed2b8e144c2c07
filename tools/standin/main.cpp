#include "common/Error.h"
#include "standin/StandIn.h"
#include "tables/WorkFolder.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Stands in for the timetable program: makes a finished timetable SOLUC and the day and period "
                 "table DIASHORAST from the tables an import left in the work folder.",
                 "vestrano-standin"};
    std::string work;
    conv::standin::Options options;
    app.add_option("--work", work, "the work folder (default: \\VTEMP here, or $TRANSXADE_WORK)");
    app.add_option("--seed", options.seed, "the same seed gives the same timetable")->capture_default_str();
    app.add_option("--days", options.days, "days a week (1 to 7)")->capture_default_str();
    app.add_option("--periods", options.periods, "periods a day (1 to 20)")->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    try {
        const auto s = conv::standin::makeTimetable(
            work.empty() ? conv::defaultWorkFolder() : std::filesystem::path(work), options);
        std::cout << "SOLUC " << s.classes << " (" << s.unplaced << " not placed, " << s.partPeriods
                  << " half periods)\nDIASHORAST " << s.periods << '\n';
        return 0;
    } catch (const conv::Error& e) {
        std::cerr << e.what() << '\n';
        return 2;
    }
}

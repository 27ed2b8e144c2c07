#pragma once

#include <string>
#include <vector>

namespace conv
{

/// A list the user looks through and may save: the rows a review or an export reports, one
/// value per column (UTF-8). The window shows it; the batch converter writes it as CSV.
struct RowList
{
    std::string caption;              ///< the window's title
    std::string intro;                ///< what the list is, above it
    std::vector<std::string> columns; ///< also the CSV header
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> marked; ///< per row: shown marked (a line that ends the run)
    int helpContext = 0;      ///< the help page of the list (F1, "Ayuda")
};

/// The list as a CSV file: a byte-order mark (so that spreadsheets read it as UTF-8), the header
/// and one line per row, ended by CR LF. A value holding a comma, a double quote or a line end
/// is written in double quotes, its double quotes doubled.
std::string rowListCsv(const RowList& list);

} // namespace conv

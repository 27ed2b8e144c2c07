#pragma once

#include "import/KeyTable.h"
#include "import/ShortCodes.h"
#include "run/RunState.h"

#include <cstdint>
#include <memory>
#include <string>

namespace conv::import
{

/// The table of a stage whose records are known by an XADE code (PROFT by the employee, AULAT
/// by the room), rebuilt empty: one record per code, with its short code and its name. A later
/// line with a code written already is passed over; codes are told apart as the table keeps
/// them (codes::recordKey).
class CodedRecords
{
public:
    /// `codeField`: the text field that keeps the XADE code.
    CodedRecords(RunState& run, const TableLayout& layout, const char* codeField);
    ~CodedRecords();

    /// True when a record for this XADE code was written.
    bool written(const std::string& code) const
    {
        return m_written.contains(codes::recordKey(code, m_codeWidth));
    }
    /// Starts fetching the place of `code` in the codes written, for a line read ahead.
    void prefetch(const std::string& code) const
    {
        m_written.prefetch(codes::recordKey(code, m_codeWidth));
    }
    /// Writes the record of a code not written yet: ABREV, NOMBRE and the code.
    void write(const std::string& abrev, const std::string& name, const std::string& code);
    /// Closes the table and counts its records as written by the run.
    void close();

private:
    RunState& m_run;
    const TableLayout& m_layout;
    std::unique_ptr<Table> m_table;
    FieldRef m_abrev, m_nombre, m_code;
    int m_codeWidth;
    KeySet m_written;
    std::int64_t m_count = 0;
};

} // namespace conv::import

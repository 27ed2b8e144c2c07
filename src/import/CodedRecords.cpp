#include "import/CodedRecords.h"

#include "tables/WorkFolder.h"

namespace conv::import
{
namespace
{

std::unique_ptr<Table> rebuiltAndOpen(RunState& run, const TableLayout& layout)
{
    rebuildTable(run.workFolder, layout);
    auto table = run.stageTable(layout);
    table->open();
    return table;
}

} // namespace

CodedRecords::CodedRecords(RunState& run, const TableLayout& layout, const char* codeField)
    : m_run(run)
    , m_layout(layout)
    , m_table(rebuiltAndOpen(run, layout))
    , m_abrev(m_table->fieldByName("ABREV"))
    , m_nombre(m_table->fieldByName("NOMBRE"))
    , m_code(m_table->fieldByName(codeField))
    , m_codeWidth(widthOf(layout, codeField))
{
}

CodedRecords::~CodedRecords() = default;

void CodedRecords::write(const std::string& abrev, const std::string& name, const std::string& code)
{
    m_table->append();
    m_abrev.setString(abrev);
    m_nombre.setString(name);
    m_code.setString(code);
    m_table->post();
    m_written.insert(codes::recordKey(code, m_codeWidth));
    ++m_count;
}

void CodedRecords::close()
{
    m_table->close();
    m_run.countWritten(m_layout.name, m_count);
}

} // namespace conv::import

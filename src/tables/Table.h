#pragma once

#include "tables/Layouts.h"
#include "tables/Value.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace conv
{

class Table;
namespace dbf
{
struct Field;
}

/// A field of the current record of an open table. Reads and writes go to the pending record
/// (after append or edit) or read the current record.
class FieldRef
{
public:
    /// Text without trailing blanks; an integer in plain decimal; "" for an empty field.
    std::string asString() const;
    /// Integer; a float rounded to nearest, halves to even; text must hold a whole number,
    /// else "'%s' is not a valid integer value".
    std::int32_t asInteger() const;
    double asFloat() const;
    bool asBoolean() const;
    /// The plain value: null for an empty field.
    Value value() const;
    bool isNull() const;

    /// Text longer than the field is cut to its width; empty text stores an empty field.
    void setString(std::string_view text);
    void setInteger(std::int32_t value);
    void setFloat(double value);
    void setBoolean(bool value);
    /// Writes a plain value the way the setter of its kind would; null empties the field.
    void setValue(const Value& value);
    void clear();

    std::string_view name() const;
    const FieldDef& def() const;

private:
    friend class Table;
    const dbf::Field& def_() const;
    FieldRef(Table* table, int index)
        : m_table(table)
        , m_index(index)
    {
    }
    Table* m_table;
    int m_index;
};

/// A handle on one dBase table (NAME.DBF, with its production index NAME.MDX). It is created
/// closed; it names a folder and a file, may select one index by name (which sets the reading
/// order), and may be opened exclusively. Engine failures raise conv::Error with the engine's
/// message, naming the file.
class Table
{
public:
    Table(std::filesystem::path folder, std::string fileName);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::filesystem::path& folder() const;
    const std::string& fileName() const;
    std::filesystem::path path() const;

    /// The index whose order records are read in, or "" for record order. Set before open().
    void setIndexName(std::string name);
    const std::string& indexName() const;
    void setExclusive(bool exclusive);
    /// Opens without asking for write access (for readers such as dump and check-table); a post
    /// then gives "Table is read only.". Set before open().
    void setReadOnly(bool readOnly);

    // Field and index lists for createTable().
    void clearFields();
    void addField(const FieldDef& field);
    void clearIndexes();
    void addIndex(std::string_view field);
    void setLayout(const TableLayout& layout);

    /// Creates the table (and its MDX when it has indexes), replacing one of that name.
    void createTable();
    /// Deletes the .DBF file and the .MDX file where present; failures are ignored. A table that
    /// a handle of this program or another program holds open gives "Table is busy." and stays.
    void deleteTable();
    /// Deletes the .DBF file only (a table without an index), under the same rule.
    void deleteTableFile();

    /// Opens the table and makes the first record current. A table another handle holds
    /// exclusively, or any handle when this one asks for exclusive use, gives the engine's error.
    void open();
    /// Closes the table; a pending record is dropped.
    void close();
    bool isOpen() const;

    void first();
    void next();
    bool eof() const;
    /// Records in the table, those marked deleted left out.
    std::int64_t recordCount() const;
    /// The current record's number (from 1) in the file; 0 when there is none or it is new.
    std::uint32_t recordNumber() const;

    /// A new empty record becomes current (pending until posted).
    void append();
    /// Starts editing the current record; on an empty table starts a new record.
    void edit();
    /// Writes the pending record.
    void post();
    /// Drops the pending record.
    void cancel();
    /// Marks the current record deleted (its index keys stay, as the engine keeps them; every
    /// read passes over it). The next record in reading order becomes current, or the one
    /// before when it was the last. A pending new record is only dropped; pending changes to
    /// the current record are dropped with it. "Cannot perform this operation on an empty
    /// dataset" when there is no current record.
    void deleteRecord();
    /// True while a record is being edited or appended.
    bool editing() const;
    /// True while a new record is pending (appended, not yet posted).
    bool inserting() const;

    /// "Field '%s' not found" when the table lacks it.
    FieldRef fieldByName(std::string_view name);
    int fieldCount() const;
    FieldRef field(int index);
    std::span<const FieldDef> fields() const;
    /// The field as stored in the file (type letter, length, decimals), of an open table.
    const dbf::Field& physicalField(int index) const;

    /// Locates the first record in reading order whose fields (one name, or several joined by
    /// ";") equal the values exactly. True and current, or false and the current record stays.
    bool locate(std::string_view fieldNames, const std::vector<Value>& values);
    bool locate(std::string_view fieldName, const Value& value);
    /// Finds the whole key on the selected index: true and current, or false.
    bool findKey(const Value& key);

private:
    friend class FieldRef;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace conv

#include "tables/Table.h"

#include "common/IoErrors.h"
#include "tables/Bytes.h"
#include "tables/EngineError.h"
#include "tables/FieldCodec.h"
#include "tables/TableFile.h"

#include <algorithm>
#include <cstring>
#include <deque>

namespace conv
{
namespace
{

namespace fs = std::filesystem;

constexpr const char* kClosed = "Cannot perform this operation on a closed dataset";
constexpr const char* kNotEditing = "Dataset not in edit or insert mode";
constexpr const char* kNoIndex = "No index currently active";
constexpr const char* kEmpty = "Cannot perform this operation on an empty dataset";

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

/// The same extension in the letter case of the table's own file name.
std::string withExtension(const std::string& fileName, const char* upper)
{
    const fs::path p(fileName);
    const std::string ext = p.extension().string();
    const bool lower = !ext.empty() && std::all_of(ext.begin(), ext.end(), [](char c) { return !std::isupper(c); });
    std::string e = upper;
    if (lower)
        std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
    return p.stem().string() + e;
}

bool equalField(const dbf::Field& f, const char* a, const char* b)
{
    if (dbf::isBinaryType(f.type) && (f.length == 4 || f.length == 8))
        return std::memcmp(a, b, static_cast<std::size_t>(f.length)) == 0;
    if (f.type == 'N' || f.type == 'F' || f.type == 'L')
        return dbf::decode(f, a) == dbf::decode(f, b);
    return trimBlanks({a, static_cast<std::size_t>(f.length)}) == trimBlanks({b, static_cast<std::size_t>(f.length)});
}

platform::FileSystem& files()
{
    return platform::fileSystem();
}

/// Writes all of `bytes` to a new file `file`; the file is removed again when anything fails.
/// Errors name `named`, the file the caller is making.
void writeWhole(const fs::path& file, const std::string& bytes, const fs::path& named)
{
    try {
        const auto f = files().open(file, platform::Access::Create, &throwEngineFailure);
        f->writeAt(bytes.data(), bytes.size(), 0);
    } catch (const Error& e) {
        files().remove(file);
        // The engine names the file the user knows, not the one written aside.
        const std::string text = e.what();
        throwEngine(text.substr(0, text.find('\n')), named);
    }
}

} // namespace

struct Table::Impl
{
    enum class State { Browse, Edit, Insert };

    fs::path folder;
    std::string fileName;
    std::string indexName;
    bool exclusive = false;
    bool readOnly = false;
    std::deque<std::string> names; // owns the names the declared fields point at
    std::vector<FieldDef> declared;
    std::vector<std::string> indexes;

    std::shared_ptr<TableFile> file;
    std::vector<FieldDef> openFields;
    int tag = -1;
    std::uint32_t recno = 0;  // current record, 0 = none
    std::size_t indexPos = 0; // its place in the tag, when one is selected
    std::uint64_t seenVersion = 0;
    bool eof = true;
    std::string record; // bytes of the current record
    std::string blank;  // an empty record, read when there is no current one
    std::string pending;
    State state = State::Browse;
    bool modified = false;

    fs::path dbfPath() const
    {
        std::string name = fileName;
        if (fs::path(name).extension().empty())
            name += ".DBF";
        return findNoCase(folder, name);
    }

    void checkActive() const
    {
        if (!file)
            throw Error(kClosed);
    }

    const dbf::Field& fieldAt(int i) const
    {
        return file->header().fields.at(static_cast<std::size_t>(i));
    }

    const char* buffer() const
    {
        if (state != State::Browse)
            return pending.data();
        return recno ? record.data() : blank.data();
    }

    char* writable(int i)
    {
        checkActive();
        if (state == State::Browse)
            throw Error(kNotEditing);
        modified = true;
        return pending.data() + fieldAt(i).offset;
    }

    void setCurrent(std::uint32_t r)
    {
        recno = r;
        if (r) {
            file->read(r, record.data());
            eof = false;
        }
    }

    /// Posts a changed pending record and drops an unchanged one.
    void browseMode(Table& t)
    {
        if (state == State::Browse)
            return;
        if (modified)
            t.post();
        else
            cancel();
    }

    void cancel()
    {
        state = State::Browse;
        modified = false;
        pending.clear();
    }

    /// The keys of the selected tag, with indexPos made to point at the current record.
    const std::vector<mdx::KeyEntry>& keys()
    {
        IndexTag& t = file->tags()[static_cast<std::size_t>(tag)];
        const auto& k = file->sortedKeys(t);
        if (seenVersion != file->version() && recno) {
            const mdx::KeyEntry probe{file->sortKey(t, record.data()), recno};
            indexPos = static_cast<std::size_t>(std::lower_bound(k.begin(), k.end(), probe,
                                                                 [](const mdx::KeyEntry& a, const mdx::KeyEntry& b) {
                                                                     const int c = a.key.compare(b.key);
                                                                     return c < 0 || (c == 0 && a.recno < b.recno);
                                                                 }) -
                                                k.begin());
        }
        seenVersion = file->version();
        return k;
    }

    /// True for a record of the file that is not marked deleted (an index may name others).
    bool live(std::uint32_t r) const
    {
        return r >= 1 && r <= file->count() && !file->deleted(r);
    }

    /// The first live record in reading order at or after position `from`; 0 when none.
    std::uint32_t liveFrom(std::size_t from, std::size_t& at)
    {
        if (tag < 0) {
            for (std::size_t r = from + 1; r <= file->count(); ++r)
                if (live(static_cast<std::uint32_t>(r))) {
                    at = r - 1;
                    return static_cast<std::uint32_t>(r);
                }
            return 0;
        }
        const auto& k = keys();
        for (std::size_t i = from; i < k.size(); ++i)
            if (live(k[i].recno)) {
                at = i;
                return k[i].recno;
            }
        return 0;
    }

    void moveTo(std::uint32_t r, std::size_t at)
    {
        setCurrent(r);
        indexPos = at;
        seenVersion = file->version();
    }

    void first()
    {
        std::size_t at = 0;
        const std::uint32_t r = liveFrom(0, at);
        if (r)
            moveTo(r, at);
        else
            recno = 0;
        eof = r == 0;
    }

    void next()
    {
        if (!recno) {
            eof = true;
            return;
        }
        std::size_t at = 0;
        std::uint32_t r = 0;
        if (tag < 0) {
            r = liveFrom(recno, at);
        } else {
            keys();
            r = liveFrom(indexPos + 1, at);
        }
        if (r)
            moveTo(r, at);
        else
            eof = true;
    }

    /// The last live record in reading order before position `before`; 0 when none.
    std::uint32_t liveBefore(std::size_t before, std::size_t& at)
    {
        if (tag < 0) {
            for (std::size_t r = before; r >= 1; --r)
                if (live(static_cast<std::uint32_t>(r))) {
                    at = r - 1;
                    return static_cast<std::uint32_t>(r);
                }
            return 0;
        }
        const auto& k = keys();
        for (std::size_t i = std::min(before, k.size()); i-- > 0;)
            if (live(k[i].recno)) {
                at = i;
                return k[i].recno;
            }
        return 0;
    }

    /// Stores `v` into a scratch record's field `i` as a write would, for comparing.
    void stage(std::string& scratch, int i, const Value& v) const
    {
        const dbf::Field& f = fieldAt(i);
        codec::storeValue(f, scratch.data() + f.offset, v);
    }
};

Table::Table(std::filesystem::path folder, std::string fileName)
    : m_impl(std::make_unique<Impl>())
{
    m_impl->folder = std::move(folder);
    m_impl->fileName = std::move(fileName);
}

Table::~Table()
{
    try {
        close();
    } catch (...) {
        // A failure while closing has nowhere to go from a destructor; the table keeps the
        // state of its last complete write.
    }
}

const std::filesystem::path& Table::folder() const
{
    return m_impl->folder;
}

const std::string& Table::fileName() const
{
    return m_impl->fileName;
}

std::filesystem::path Table::path() const
{
    return m_impl->dbfPath();
}

void Table::setIndexName(std::string name)
{
    m_impl->indexName = std::move(name);
}

const std::string& Table::indexName() const
{
    return m_impl->indexName;
}

void Table::setExclusive(bool exclusive)
{
    m_impl->exclusive = exclusive;
}

void Table::setReadOnly(bool readOnly)
{
    m_impl->readOnly = readOnly;
}

void Table::clearFields()
{
    m_impl->declared.clear();
    m_impl->names.clear();
}

void Table::addField(const FieldDef& field)
{
    m_impl->names.emplace_back(field.name);
    FieldDef copy = field;
    copy.name = m_impl->names.back();
    m_impl->declared.push_back(copy);
}

void Table::clearIndexes()
{
    m_impl->indexes.clear();
}

void Table::addIndex(std::string_view field)
{
    m_impl->indexes.emplace_back(field);
}

void Table::setLayout(const TableLayout& layout)
{
    clearFields();
    for (const FieldDef& f : layout.fields)
        addField(f);
    clearIndexes();
    for (std::string_view i : layout.indexes)
        addIndex(i);
}

void Table::createTable()
{
    Impl& d = *m_impl;
    std::error_code ec;
    std::string name = d.fileName;
    if (fs::path(name).extension().empty())
        name += ".DBF";
    const fs::path dbfPath = d.folder / name;
    if (!fs::is_directory(d.folder, ec))
        throwEngine(engine::kPathMissing, dbfPath);
    if (d.declared.empty())
        throwEngine(engine::kInvalidFieldName, dbfPath);
    const fs::path existing = findNoCase(d.folder, name);
    if (TableFile::inUse(existing) || TableFile::lockedElsewhere(existing))
        throwEngine(engine::kTableBusy, existing);

    std::vector<dbf::Field> fields;
    std::size_t recordLength = 1;
    for (const FieldDef& def : d.declared) {
        dbf::Field f = dbf::physicalField(def, dbfPath);
        for (const dbf::Field& other : fields)
            if (equalNoCase(other.name, f.name))
                throwEngine(engine::kInvalidFieldName, dbfPath);
        recordLength += static_cast<std::size_t>(f.length);
        fields.push_back(std::move(f));
    }
    if (recordLength > dbf::kMaxRecordLength || fields.size() > 1024)
        throwEngine(engine::kTooManyFields, dbfPath);

    std::vector<mdx::TagBuild> tags;
    for (const std::string& index : d.indexes) {
        auto it =
            std::find_if(fields.begin(), fields.end(), [&](const dbf::Field& f) { return equalNoCase(f.name, index); });
        if (it == fields.end() || it->type == 'L' || it->name.size() >= mdx::kTagNameLength ||
            std::any_of(tags.begin(), tags.end(), [&](const mdx::TagBuild& t) { return equalNoCase(t.name, index); }))
            throwEngine("Invalid index descriptor.", dbfPath);
        it->tagged = true;
        mdx::TagBuild tag;
        tag.name = it->name;
        tag.expression = it->name;
        tag.keyType = it->type == 'C' ? 'C' : 'N';
        tag.keyLength = it->type == 'C' ? static_cast<std::size_t>(it->length) : mdx::kNumericKeyLength;
        tags.push_back(std::move(tag));
    }
    if (tags.size() > mdx::kMaxTags)
        throwEngine("Invalid index descriptor.", dbfPath);

    std::string dbfBytes = dbf::buildHeader7(fields, 0, !tags.empty());
    dbfBytes += static_cast<char>(dbf::kEndOfFile);
    const std::string mdxName = withExtension(name, ".MDX");
    const fs::path mdxPath = d.folder / mdxName;
    const fs::path dbfTmp = d.folder / ("." + name + ".tmp");
    const fs::path mdxTmp = d.folder / ("." + mdxName + ".tmp");

    // Both files are written aside and renamed into place: a failure leaves no new table.
    writeWhole(dbfTmp, dbfBytes, dbfPath);
    if (!tags.empty()) {
        try {
            writeWhole(mdxTmp, mdx::build(fs::path(name).stem().string(), tags, dbf::kDriverId), mdxPath);
        } catch (...) {
            files().remove(dbfTmp);
            throw;
        }
    }
    // Other spellings of the same names go first, so that only the new files remain.
    for (const fs::path& old : {findNoCase(d.folder, name), findNoCase(d.folder, mdxName)})
        if (old.filename() != dbfPath.filename() && old.filename() != mdxPath.filename())
            files().remove(old);
    try {
        if (tags.empty())
            files().remove(mdxPath);
        else
            files().replace(mdxTmp, mdxPath, &throwEngineFailure);
    } catch (...) {
        files().remove(mdxTmp);
        files().remove(dbfTmp);
        throw;
    }
    try {
        files().replace(dbfTmp, dbfPath, &throwEngineFailure);
    } catch (...) {
        files().remove(dbfTmp);
        throw;
    }
}

void Table::deleteTable()
{
    deleteTableFile();
    std::string name = m_impl->fileName;
    if (fs::path(name).extension().empty())
        name += ".DBF";
    files().remove(findNoCase(m_impl->folder, withExtension(name, ".MDX")));
}

void Table::deleteTableFile()
{
    std::string name = m_impl->fileName;
    if (fs::path(name).extension().empty())
        name += ".DBF";
    const fs::path dbf = findNoCase(m_impl->folder, name);
    // A table some handle or another program holds open is not deleted under it: where the
    // tables come from, an open file cannot be deleted.
    if (TableFile::inUse(dbf) || TableFile::lockedElsewhere(dbf))
        throwEngine(engine::kTableBusy, dbf);
    files().remove(dbf);
}

void Table::open()
{
    Impl& d = *m_impl;
    if (d.file)
        return;
    std::error_code ec;
    const fs::path dbfPath = d.dbfPath();
    if (!fs::is_directory(d.folder, ec))
        throwEngine(engine::kPathMissing, dbfPath);
    auto file = TableFile::acquire(dbfPath, d.exclusive, d.readOnly);
    int tag = -1;
    if (!d.indexName.empty()) {
        tag = file->findTag(d.indexName);
        const fs::path named = file->mdxPath().empty() ? dbfPath : file->mdxPath();
        if (tag < 0 || !file->tags()[static_cast<std::size_t>(tag)].supported) {
            file->release();
            throwEngine(tag < 0 ? engine::kIndexMissing : engine::kIndexExpression, named);
        }
    }
    d.file = std::move(file);
    d.tag = tag;
    d.openFields.clear();
    for (const dbf::Field& f : d.file->header().fields)
        d.openFields.push_back({f.name, dbf::kindOf(f), f.type == 'C' ? f.length : 0});
    d.record.assign(d.file->recordLength(), ' ');
    d.blank.assign(d.file->recordLength(), ' ');
    for (const dbf::Field& f : d.file->header().fields)
        dbf::clearField(f, d.blank.data() + f.offset);
    d.cancel();
    d.recno = 0;
    d.seenVersion = 0;
    d.first();
}

void Table::close()
{
    Impl& d = *m_impl;
    if (!d.file)
        return;
    d.cancel();
    auto file = std::move(d.file);
    d.file.reset();
    d.recno = 0;
    d.eof = true;
    d.tag = -1;
    file->release();
}

bool Table::isOpen() const
{
    return m_impl->file != nullptr;
}

void Table::first()
{
    m_impl->checkActive();
    m_impl->browseMode(*this);
    m_impl->first();
}

void Table::next()
{
    m_impl->checkActive();
    m_impl->browseMode(*this);
    m_impl->next();
}

bool Table::eof() const
{
    m_impl->checkActive();
    return m_impl->eof;
}

std::int64_t Table::recordCount() const
{
    m_impl->checkActive();
    return m_impl->file->liveCount();
}

std::uint32_t Table::recordNumber() const
{
    m_impl->checkActive();
    return m_impl->state == Impl::State::Insert ? 0 : m_impl->recno;
}

void Table::append()
{
    Impl& d = *m_impl;
    d.checkActive();
    d.browseMode(*this);
    d.file->checkWritable();
    d.pending = d.blank;
    d.state = Impl::State::Insert;
    d.modified = false;
}

void Table::edit()
{
    Impl& d = *m_impl;
    d.checkActive();
    if (d.state != Impl::State::Browse)
        return;
    if (!d.recno) {
        append();
        return;
    }
    d.file->checkWritable();
    d.pending = d.record;
    d.state = Impl::State::Edit;
    d.modified = false;
}

void Table::post()
{
    Impl& d = *m_impl;
    d.checkActive();
    if (d.state == Impl::State::Browse)
        return;
    std::uint32_t r = d.recno;
    if (d.state == Impl::State::Insert)
        r = d.file->append(d.pending.data());
    else
        d.file->write(r, d.pending.data());
    d.record.swap(d.pending); // the posted bytes are the current record's now; no need to read them
    d.recno = r;
    d.eof = false;
    d.cancel();
    d.seenVersion = 0; // find its place in the index again
}

void Table::cancel()
{
    m_impl->checkActive();
    m_impl->cancel();
}

void Table::deleteRecord()
{
    Impl& d = *m_impl;
    d.checkActive();
    const bool inserting = d.state == Impl::State::Insert;
    d.cancel();
    if (inserting)
        return;
    if (!d.recno)
        throw Error(kEmpty);
    d.file->checkWritable();
    // Its place in reading order, found before the mark changes what counts as live.
    std::size_t place = d.recno - 1;
    if (d.tag >= 0) {
        d.keys();
        place = d.indexPos;
    }
    d.record[0] = dbf::kDeleted;
    d.file->write(d.recno, d.record.data());
    d.seenVersion = d.file->version(); // the keys did not move
    std::size_t at = 0;
    std::uint32_t r = d.liveFrom(d.tag < 0 ? d.recno : place + 1, at);
    if (!r)
        r = d.liveBefore(d.tag < 0 ? d.recno - 1 : place, at);
    if (r) {
        d.moveTo(r, at);
    } else {
        d.recno = 0;
        d.eof = true;
    }
}

bool Table::editing() const
{
    return m_impl->state != Impl::State::Browse;
}

bool Table::inserting() const
{
    return m_impl->state == Impl::State::Insert;
}

FieldRef Table::fieldByName(std::string_view name)
{
    m_impl->checkActive();
    const auto& fields = m_impl->file->header().fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (equalNoCase(fields[i].name, name))
            return FieldRef(this, static_cast<int>(i));
    throw Error("Field '" + std::string(name) + "' not found");
}

int Table::fieldCount() const
{
    return static_cast<int>(m_impl->file ? m_impl->openFields.size() : m_impl->declared.size());
}

FieldRef Table::field(int index)
{
    m_impl->checkActive();
    if (index < 0 || index >= fieldCount())
        throw Error("List index out of bounds (" + std::to_string(index) + ")");
    return FieldRef(this, index);
}

std::span<const FieldDef> Table::fields() const
{
    return m_impl->file ? std::span<const FieldDef>(m_impl->openFields) : std::span<const FieldDef>(m_impl->declared);
}

const dbf::Field& Table::physicalField(int index) const
{
    m_impl->checkActive();
    return m_impl->fieldAt(index);
}

bool Table::locate(std::string_view fieldNames, const std::vector<Value>& values)
{
    Impl& d = *m_impl;
    d.checkActive();
    std::vector<int> fields;
    for (std::size_t start = 0;;) {
        const std::size_t semi = fieldNames.find(';', start);
        std::string_view name = fieldNames.substr(start, semi == std::string_view::npos ? semi : semi - start);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        fields.push_back(fieldByName(name).m_index);
        if (semi == std::string_view::npos)
            break;
        start = semi + 1;
    }
    if (fields.size() != values.size())
        throw Error("Locate needs one value for each field (" + std::to_string(fields.size()) + " fields, " +
                    std::to_string(values.size()) + " values)");
    d.browseMode(*this);
    std::string wanted = d.blank;
    for (std::size_t i = 0; i < fields.size(); ++i)
        d.stage(wanted, fields[i], values[i]);

    std::string candidate(d.file->recordLength(), ' ');
    std::size_t from = 0;
    std::size_t at = 0;
    // In record order liveFrom() takes the record number to go past; in index order a position.
    while (const std::uint32_t r = d.liveFrom(from, at)) {
        d.file->read(r, candidate.data());
        const bool match = std::all_of(fields.begin(), fields.end(), [&](int i) {
            const dbf::Field& f = d.fieldAt(i);
            return equalField(f, candidate.data() + f.offset, wanted.data() + f.offset);
        });
        if (match) {
            d.moveTo(r, at);
            return true;
        }
        from = d.tag < 0 ? r : at + 1;
    }
    return false;
}

bool Table::locate(std::string_view fieldName, const Value& value)
{
    return locate(fieldName, std::vector<Value>{value});
}

bool Table::findKey(const Value& key)
{
    Impl& d = *m_impl;
    d.checkActive();
    d.browseMode(*this);
    if (d.tag < 0)
        throw Error(kNoIndex);
    IndexTag& tag = d.file->tags()[static_cast<std::size_t>(d.tag)];
    std::string scratch = d.blank;
    d.stage(scratch, tag.field, key);
    const std::string wanted = d.file->sortKey(tag, scratch.data());
    const auto& k = d.keys();
    auto it = std::lower_bound(k.begin(), k.end(), wanted,
                               [](const mdx::KeyEntry& e, const std::string& w) { return e.key < w; });
    for (; it != k.end() && it->key == wanted; ++it)
        if (d.live(it->recno)) {
            d.moveTo(it->recno, static_cast<std::size_t>(it - k.begin()));
            return true;
        }
    return false;
}

// ---- FieldRef

std::string FieldRef::asString() const
{
    return codec::toString(value());
}

std::int32_t FieldRef::asInteger() const
{
    // A text field reads as a number through its text, so an empty one is not a number either.
    if (def().kind == FieldKind::Text)
        return codec::toInteger(asString(), name());
    return codec::toInteger(value(), name());
}

double FieldRef::asFloat() const
{
    if (def().kind == FieldKind::Text)
        return codec::toFloat(asString());
    return codec::toFloat(value());
}

bool FieldRef::asBoolean() const
{
    return codec::toBoolean(value());
}

Value FieldRef::value() const
{
    const Table::Impl& d = *m_table->m_impl;
    d.checkActive();
    const dbf::Field& f = d.fieldAt(m_index);
    return dbf::decode(f, d.buffer() + f.offset);
}

bool FieldRef::isNull() const
{
    return std::holds_alternative<std::monostate>(value());
}

void FieldRef::setString(std::string_view text)
{
    codec::storeString(def_(), m_table->m_impl->writable(m_index), text);
}

void FieldRef::setInteger(std::int32_t value)
{
    codec::storeInteger(def_(), m_table->m_impl->writable(m_index), value);
}

void FieldRef::setFloat(double value)
{
    codec::storeFloat(def_(), m_table->m_impl->writable(m_index), value);
}

void FieldRef::setBoolean(bool value)
{
    codec::storeBoolean(def_(), m_table->m_impl->writable(m_index), value);
}

void FieldRef::setValue(const Value& value)
{
    codec::storeValue(def_(), m_table->m_impl->writable(m_index), value);
}

void FieldRef::clear()
{
    dbf::clearField(def_(), m_table->m_impl->writable(m_index));
}

std::string_view FieldRef::name() const
{
    return def_().name;
}

const FieldDef& FieldRef::def() const
{
    m_table->m_impl->checkActive();
    return m_table->m_impl->openFields.at(static_cast<std::size_t>(m_index));
}

const dbf::Field& FieldRef::def_() const
{
    m_table->m_impl->checkActive();
    return m_table->m_impl->fieldAt(m_index);
}

} // namespace conv

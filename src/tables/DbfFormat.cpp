#include "tables/DbfFormat.h"

#include "tables/Bytes.h"
#include "tables/EngineError.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace conv
{

void throwEngineFailure(const platform::FileFailure& failure, const std::filesystem::path& file)
{
    using platform::Failure;
    switch (failure.kind) {
    case Failure::NotFound:
        throwEngine(engine::kTableMissing, file);
    case Failure::PathNotFound:
        throwEngine(engine::kPathMissing, file);
    case Failure::DiskFull:
        throwEngine(engine::kDiskFull, file);
    case Failure::AccessDenied:
        throwEngine(engine::kNoRights, file);
    case Failure::Busy:
        throwEngine(engine::kTableBusy, file);
    case Failure::NotRegular:
        throwEngine(engine::kNotRegular, file);
    case Failure::TooManyFiles:
    case Failure::Other:
        break;
    }
    throwEngine("Operating system error " + std::to_string(failure.native) + ".", file);
}

namespace dbf
{
namespace
{

using bytes::u;

[[noreturn]] void corrupt(const std::filesystem::path& file)
{
    throwEngine(engine::kCorruptHeader, file);
}

/// The width a type must have at level 7, or 0 when any width from 1 to 255 goes.
int fixedWidth(char type, bool level7)
{
    switch (type) {
    case 'L':
        return 1;
    case 'D':
        return 8;
    case 'I':
    case '+':
        return level7 ? 4 : 0;
    case 'O':
    case '@':
        return level7 ? 8 : 0;
    default:
        return 0;
    }
}

std::string nameFrom(const char* p, std::size_t max)
{
    std::size_t n = 0;
    while (n < max && p[n] != '\0')
        ++n;
    std::string name(p, n);
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

bool descriptorsAre48(unsigned char version)
{
    return (version & 0x07) == 4;
}

bool knownVersion(unsigned char version)
{
    switch (version) {
    case 0x30: // Visual FoxPro variants: 32-byte descriptors
    case 0x31:
    case 0x32:
    case 0xF5:
    case 0xFB:
        return true;
    default:
        return (version & 0x07) == 3 || (version & 0x07) == 4 || (version & 0x07) == 5;
    }
}

Field parseDescriptor(const char* d, bool level7, const std::filesystem::path& file)
{
    Field f;
    if (level7) {
        f.name = nameFrom(d + kFd7Name, kFd7NameLength);
        f.type = d[kFd7Type];
        f.length = u(d)[kFd7Length];
        f.decimals = u(d)[kFd7Decimals];
        f.tagged = d[kFd7MdxFlag] != 0;
        f.nextAutoIncrement = bytes::le32(u(d) + kFd7AutoIncrement);
    } else {
        f.name = nameFrom(d, kFd3NameLength);
        f.type = d[kFd3Type];
        f.length = u(d)[kFd3Length];
        f.decimals = u(d)[kFd3Decimals];
        f.tagged = d[kFd3MdxFlag] != 0;
    }
    if (f.length == 0 || f.name.empty())
        corrupt(file);
    const int fixed = fixedWidth(f.type, level7);
    if (fixed != 0 && f.length != fixed)
        corrupt(file);
    return f;
}

} // namespace

Header parseHeader(std::string_view data, std::uint64_t fileSize, const std::filesystem::path& file)
{
    if (data.size() < kFixedHeaderIII)
        corrupt(file);
    const unsigned char* p = u(data.data());
    Header h;
    h.version = p[kOffVersion];
    if (!knownVersion(h.version))
        corrupt(file);
    h.level7 = descriptorsAre48(h.version);
    h.recordCount = bytes::le32(p + kOffRecordCount);
    h.headerLength = bytes::le16(p + kOffHeaderLength);
    h.recordLength = bytes::le16(p + kOffRecordLength);
    h.hasMdx = p[kOffMdxFlag] != 0;
    h.languageId = p[kOffLanguageId];
    const std::size_t fixed = h.level7 ? kFixedHeader7 : kFixedHeaderIII;
    const std::size_t descriptor = h.level7 ? kDescriptor7 : kDescriptorIII;
    if (h.headerLength < fixed + 1 || h.headerLength > data.size() || h.headerLength > fileSize || h.recordLength < 2)
        corrupt(file);
    if (h.level7)
        h.driverName = nameFrom(data.data() + kOffDriverName, kDriverNameLength);

    std::size_t pos = fixed;
    std::size_t offset = 1;
    while (pos < h.headerLength && p[pos] != kDescriptorEnd) {
        if (pos + descriptor > h.headerLength)
            corrupt(file);
        Field f = parseDescriptor(data.data() + pos, h.level7, file);
        f.offset = offset;
        offset += static_cast<std::size_t>(f.length);
        h.fields.push_back(std::move(f));
        pos += descriptor;
    }
    if (pos >= h.headerLength || h.fields.empty() || offset > h.recordLength)
        corrupt(file);
    const std::uint64_t needed =
        static_cast<std::uint64_t>(h.headerLength) + static_cast<std::uint64_t>(h.recordCount) * h.recordLength;
    if (needed > fileSize)
        corrupt(file);
    return h;
}

Field physicalField(const FieldDef& def, const std::filesystem::path& file)
{
    Field f;
    f.name = std::string(def.name);
    const bool nameOk = !f.name.empty() && f.name.size() <= kMaxFieldName7 &&
                        std::all_of(f.name.begin(), f.name.end(), [](char c) {
                            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                   c == '_';
                        });
    if (!nameOk)
        throwEngine(engine::kInvalidFieldName, file);
    switch (def.kind) {
    case FieldKind::Text:
        if (def.width < 1 || def.width > kMaxCharWidth)
            throwEngine(engine::kInvalidFieldSize, file);
        f.type = 'C';
        f.length = def.width;
        break;
    case FieldKind::Integer:
        f.type = 'I';
        f.length = 4;
        break;
    case FieldKind::Float:
        f.type = 'O';
        f.length = 8;
        break;
    case FieldKind::Logical:
        f.type = 'L';
        f.length = 1;
        break;
    }
    return f;
}

void stampHeader(unsigned char* head, std::uint32_t recordCount)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    if (const std::tm* local = std::localtime(&now)) // one thread only: the shared result is ours
        tm = *local;
    head[kOffDate] = static_cast<unsigned char>(tm.tm_year); // years since 1900
    head[kOffDate + 1] = static_cast<unsigned char>(tm.tm_mon + 1);
    head[kOffDate + 2] = static_cast<unsigned char>(tm.tm_mday);
    bytes::putLe32(head + kOffRecordCount, recordCount);
}

std::string buildHeader7(std::vector<Field>& fields, std::uint32_t recordCount, bool hasMdx)
{
    const std::size_t headerLength = kFixedHeader7 + kDescriptor7 * fields.size() + 1;
    std::string head(headerLength, '\0');
    unsigned char* p = u(head.data());
    std::size_t offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        Field& f = fields[i];
        f.offset = offset;
        offset += static_cast<std::size_t>(f.length);
        unsigned char* d = p + kFixedHeader7 + kDescriptor7 * i;
        std::copy(f.name.begin(), f.name.end(), d + kFd7Name);
        d[kFd7Type] = static_cast<unsigned char>(f.type);
        d[kFd7Length] = static_cast<unsigned char>(f.length);
        d[kFd7Decimals] = static_cast<unsigned char>(f.decimals);
        d[kFd7MdxFlag] = f.tagged ? 1 : 0;
        if (f.type == '+')
            bytes::putLe32(d + kFd7AutoIncrement, f.nextAutoIncrement);
    }
    p[kOffVersion] = kVersion7;
    stampHeader(p, recordCount);
    bytes::putLe16(p + kOffHeaderLength, static_cast<std::uint32_t>(headerLength));
    bytes::putLe16(p + kOffRecordLength, static_cast<std::uint32_t>(offset));
    p[kOffMdxFlag] = hasMdx ? 1 : 0;
    p[kOffLanguageId] = 0; // level 7 names its driver instead
    const std::string driver = kDriverName;
    std::copy(driver.begin(), driver.end(), p + kOffDriverName);
    p[headerLength - 1] = kDescriptorEnd;
    return head;
}

std::uint32_t encodeInteger(std::int32_t v)
{
    return static_cast<std::uint32_t>(v) ^ 0x80000000u;
}

std::int32_t decodeInteger(std::uint32_t stored)
{
    return static_cast<std::int32_t>(stored ^ 0x80000000u);
}

std::uint64_t encodeDouble(double v)
{
    const std::uint64_t bits = bytes::doubleBits(v == 0.0 ? 0.0 : v); // -0 stores as 0
    return (bits & 0x8000000000000000ull) ? ~bits : (bits | 0x8000000000000000ull);
}

double decodeDouble(std::uint64_t stored)
{
    return bytes::bitsDouble((stored & 0x8000000000000000ull) ? (stored & ~0x8000000000000000ull) : ~stored);
}

std::int64_t dayNumber(int y, int m, int d)
{
    // Days from civil (proleptic Gregorian), shifted so that 0001-01-01 is day 1.
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t fromEpoch = era * 146097 + doe - 719468; // 1970-01-01 = 0
    return fromEpoch + 719163;
}

void civilFromDayNumber(std::int64_t day, int& y, int& m, int& d)
{
    std::int64_t z = day - 719163 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool isBinaryType(char type)
{
    return type == 'I' || type == '+' || type == 'O' || type == '@';
}

void clearField(const Field& field, char* data)
{
    std::fill(data, data + field.length, isBinaryType(field.type) && field.length >= 4 ? '\0' : ' ');
}

FieldKind kindOf(const Field& field)
{
    switch (field.type) {
    case 'I':
    case '+':
        return field.length == 4 ? FieldKind::Integer : FieldKind::Float;
    case 'N':
        return field.decimals == 0 && field.length < 10 ? FieldKind::Integer : FieldKind::Float;
    case 'F':
    case 'O':
        return FieldKind::Float;
    case 'L':
        return FieldKind::Logical;
    default:
        return FieldKind::Text;
    }
}

namespace
{

std::string_view trimmed(const char* data, int length)
{
    std::string_view s(data, static_cast<std::size_t>(length));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

Value decodeNumber(const Field& field, const char* data)
{
    std::string_view s = trimmed(data, field.length);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    if (s.empty())
        return {};
    if (s.front() == '+')
        s.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return {}; // an unreadable number ("****" after an overflow) reads as empty
    if (kindOf(field) == FieldKind::Integer && v >= -2147483648.0 && v <= 2147483647.0 && v == std::floor(v))
        return static_cast<std::int32_t>(v);
    return v;
}

Value decodeTimestamp(const char* data)
{
    const std::uint64_t raw = bytes::be64(u(data));
    if (raw == 0)
        return {};
    const double ms = bytes::bitsDouble(raw);
    if (!std::isfinite(ms) || ms < 0 || ms > 4e17)
        return {};
    const auto whole = static_cast<std::int64_t>(ms);
    const std::int64_t day = whole / 86400000;
    std::int64_t secs = (whole % 86400000) / 1000;
    int y, m, d;
    civilFromDayNumber(day, y, m, d);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, static_cast<int>(secs / 3600),
                  static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60));
    return std::string(buf);
}

} // namespace

Value decode(const Field& field, const char* data)
{
    switch (field.type) {
    case 'I':
    case '+':
        if (field.length != 4)
            return decodeNumber(field, data);
        if (const std::uint32_t raw = bytes::be32(u(data)); raw != 0)
            return decodeInteger(raw);
        return {};
    case 'O':
        if (field.length != 8)
            return decodeNumber(field, data);
        if (const std::uint64_t raw = bytes::be64(u(data)); raw != 0)
            return decodeDouble(raw);
        return {};
    case '@':
        if (field.length != 8)
            return {};
        return decodeTimestamp(data);
    case 'N':
    case 'F':
        return decodeNumber(field, data);
    case 'L':
        switch (data[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return true;
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return false;
        default:
            return {};
        }
    case 'D': {
        const std::string_view s = trimmed(data, field.length);
        if (s.empty())
            return {};
        if (s.size() == 8 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::string(s.substr(0, 4)) + "-" + std::string(s.substr(4, 2)) + "-" + std::string(s.substr(6, 2));
        return std::string(s);
    }
    case 'M':
    case 'B':
    case 'G': { // the block number of the memo in the .DBT file, right-aligned
        std::string_view s = trimmed(data, field.length);
        while (!s.empty() && s.front() == ' ')
            s.remove_prefix(1);
        if (s.empty())
            return {};
        return std::string(s);
    }
    default: {
        const std::string_view s = trimmed(data, field.length);
        if (s.empty())
            return {};
        return std::string(s);
    }
    }
}

} // namespace dbf
} // namespace conv

#pragma once

#include "tables/Layouts.h"
#include "tables/Value.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace conv::dbf
{

// Fixed header, all levels.
inline constexpr std::size_t kFixedHeaderIII = 32;  ///< levels III/IV: header before descriptors
inline constexpr std::size_t kFixedHeader7 = 68;    ///< level 7: 32 bytes + driver name + 4
inline constexpr std::size_t kDescriptorIII = 32;
inline constexpr std::size_t kDescriptor7 = 48;
inline constexpr std::size_t kOffVersion = 0;
inline constexpr std::size_t kOffDate = 1;          ///< Y-1900, M, D
inline constexpr std::size_t kOffRecordCount = 4;
inline constexpr std::size_t kOffHeaderLength = 8;
inline constexpr std::size_t kOffRecordLength = 10;
inline constexpr std::size_t kOffMdxFlag = 28;
inline constexpr std::size_t kOffLanguageId = 29;
inline constexpr std::size_t kOffDriverName = 32;   ///< level 7 only, 32 bytes
inline constexpr std::size_t kDriverNameLength = 32;

// Level-7 field descriptor.
inline constexpr std::size_t kFd7Name = 0;          ///< 32 bytes, NUL-padded
inline constexpr std::size_t kFd7NameLength = 32;
inline constexpr std::size_t kFd7Type = 32;
inline constexpr std::size_t kFd7Length = 33;
inline constexpr std::size_t kFd7Decimals = 34;
inline constexpr std::size_t kFd7MdxFlag = 37;
inline constexpr std::size_t kFd7AutoIncrement = 42; ///< next value, 4 bytes LE

// Level III/IV field descriptor.
inline constexpr std::size_t kFd3NameLength = 11;
inline constexpr std::size_t kFd3Type = 11;
inline constexpr std::size_t kFd3Length = 16;
inline constexpr std::size_t kFd3Decimals = 17;
inline constexpr std::size_t kFd3MdxFlag = 31;

inline constexpr unsigned char kVersion7 = 0x04;   ///< level 7, no memo file
inline constexpr unsigned char kDescriptorEnd = 0x0D;
inline constexpr unsigned char kEndOfFile = 0x1A;
inline constexpr char kLive = ' ';
inline constexpr char kDeleted = '*';
inline constexpr std::size_t kMaxFieldName7 = 31;
inline constexpr int kMaxCharWidth = 254;
inline constexpr std::size_t kMaxRecordLength = 65535;

/// The language driver we write: Windows ANSI (code page 1252) with byte-order collation. Level 7
/// names the driver in the header and leaves the ID byte 0; the MDX carries the driver's ID. We
/// write no field-properties area after the descriptors (readers skip one when it is there).
inline constexpr const char* kDriverName = "DBWINUS0";
inline constexpr unsigned char kDriverId = 0x57;

/// One field as stored in the file.
struct Field
{
    std::string name;
    char type = 'C';
    int length = 0;
    int decimals = 0;
    std::size_t offset = 0;  ///< within the record; the deletion byte is at 0
    bool tagged = false;     ///< has its own tag in the production index
    std::uint32_t nextAutoIncrement = 0;
};

/// What the header of a table says.
struct Header
{
    unsigned char version = kVersion7;
    bool level7 = true;
    std::uint32_t recordCount = 0;
    std::size_t headerLength = 0;
    std::size_t recordLength = 0;
    bool hasMdx = false;
    unsigned char languageId = 0;
    std::string driverName;
    std::vector<Field> fields;
};

/// Bytes needed before the header length is known.
inline constexpr std::size_t kHeaderProbe = 12;

/// Parses a header from its first `bytes` (at least the header length, or the whole file when
/// shorter) of a file of `fileSize` bytes. Every length is checked against the bytes and the
/// file before use; a bad one raises "Corrupt table/index header." naming `file`.
Header parseHeader(std::string_view bytes, std::uint64_t fileSize, const std::filesystem::path& file);

/// The physical field a declared field becomes: Text n -> C(n), Integer -> I(4),
/// Float -> O(8), Logical -> L(1). Raises the engine's error for a bad name or width.
Field physicalField(const FieldDef& def, const std::filesystem::path& file);

/// The level-7 header for `fields` (offsets filled in), `recordCount` records, dated today.
std::string buildHeader7(std::vector<Field>& fields, std::uint32_t recordCount, bool hasMdx);

/// Writes today's date and `recordCount` into a header's first bytes (at least 8).
void stampHeader(unsigned char* head, std::uint32_t recordCount);

/// The value a field's stored bytes hold; null for an empty field.
Value decode(const Field& field, const char* data);

/// Bytes of an empty field: blanks, or zeros for the binary types.
void clearField(const Field& field, char* data);

/// True for the binary types whose empty value is all zero bytes.
bool isBinaryType(char type);

/// The kind a stored field is read as.
FieldKind kindOf(const Field& field);

/// Sortable encodings of the level-7 binary numbers.
std::uint32_t encodeInteger(std::int32_t v);
std::int32_t decodeInteger(std::uint32_t stored);
std::uint64_t encodeDouble(double v);
double decodeDouble(std::uint64_t stored);

/// Days since 0001-01-01 (that day counting as 1) for a civil date, and back.
std::int64_t dayNumber(int y, int m, int d);
void civilFromDayNumber(std::int64_t day, int& y, int& m, int& d);

} // namespace conv::dbf

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace conv::mdx
{

// All pointers in the file are page numbers; nodes are blocks of two pages.
inline constexpr std::size_t kPageSize = 512;
inline constexpr std::size_t kPagesPerBlock = 2;
inline constexpr std::size_t kBlockSize = kPageSize * kPagesPerBlock;
inline constexpr std::uint32_t kHeaderPages = 4;       ///< file header and tag table
inline constexpr unsigned char kVersionIV = 2;         ///< the layout every source documents; we write it
inline constexpr unsigned char kVersion7 = 3;
inline constexpr std::size_t kTagSlots = 48;
inline constexpr std::size_t kMaxTags = 47;
inline constexpr std::size_t kTagEntryLength = 32;     ///< version 2 tag-table entry
inline constexpr std::size_t kTagTableStart = 544;     ///< first version-2 entry (512 + one unused slot)
inline constexpr std::size_t kUnusedSlotMarker = 529;  ///< byte set to 1 in the unused first slot
inline constexpr std::size_t kTagNameLength = 11;      ///< version 2, NUL-padded, at most 10 characters
inline constexpr std::size_t kNodeHeader = 8;          ///< key count, neighbour page
inline constexpr std::size_t kNumericKeyLength = 12;
inline constexpr std::size_t kMaxDepth = 32;
inline constexpr unsigned char kKeyFormat = 0x10;
inline constexpr unsigned char kDescending = 0x08;
inline constexpr unsigned char kUnique = 0x40;

// File header (page 0).
inline constexpr std::size_t kOffVersion = 0;
inline constexpr std::size_t kOffCreated = 1;
inline constexpr std::size_t kOffDbfName = 4;
inline constexpr std::size_t kDbfNameLength = 16;
inline constexpr std::size_t kOffPagesPerBlock = 20;
inline constexpr std::size_t kOffBlockSize = 22;
inline constexpr std::size_t kOffProduction = 24;
inline constexpr std::size_t kOffTagSlots = 25;
inline constexpr std::size_t kOffEntryLength = 26;
inline constexpr std::size_t kOffTagsInUse = 28;
inline constexpr std::size_t kOffTagsPlusOne = 30;     ///< as dBASE's own files show it
inline constexpr std::size_t kOffLanguage = 31;
inline constexpr std::size_t kOffTotalPages = 32;
inline constexpr std::size_t kOffFreePage = 36;
inline constexpr std::size_t kOffUpdated = 44;

// Tag-table entry (version 2).
inline constexpr std::size_t kEntHeaderPage = 0;
inline constexpr std::size_t kEntName = 4;
inline constexpr std::size_t kEntKeyFormat = 15;
inline constexpr std::size_t kEntLeft = 16;
inline constexpr std::size_t kEntRight = 17;
inline constexpr std::size_t kEntParent = 18;
inline constexpr std::size_t kEntMarker = 19;          ///< always 0x02
inline constexpr std::size_t kEntKeyType = 20;
// Tag-table entry (version 3, one reader's layout).
inline constexpr std::size_t kEnt3NameLength = 33;
inline constexpr std::size_t kEnt3KeyFormat = 37;
inline constexpr std::size_t kEnt3KeyType = 42;

// Tag header (first block of a tag).
inline constexpr std::size_t kTagRoot = 0;
inline constexpr std::size_t kTagPages = 4;
inline constexpr std::size_t kTagKeyFormat = 8;
inline constexpr std::size_t kTagKeyType = 9;
inline constexpr std::size_t kTagLanguage = 11;
inline constexpr std::size_t kTagKeyLength = 12;
inline constexpr std::size_t kTagMaxKeys = 14;
inline constexpr std::size_t kTagDateKey = 16;
inline constexpr std::size_t kTagItemLength = 18;
inline constexpr std::size_t kTagChanges = 20;
inline constexpr std::size_t kTagUnique = 23;
inline constexpr std::size_t kTagExpression = 24;
inline constexpr std::size_t kTagExpressionLength = 220;
inline constexpr std::size_t kTagHasKeys = 246;
inline constexpr std::size_t kTagFirstNode = 248;
inline constexpr std::size_t kTagLastNode = 252;
inline constexpr std::size_t kTagDate = 257;
inline constexpr std::size_t kTagPlainField = 480;

/// One tag as the file describes it.
struct TagInfo
{
    std::string name;
    std::string expression;
    char keyType = 'C';
    unsigned char keyFormat = kKeyFormat;
    std::size_t keyLength = 0;
    std::size_t itemLength = 0;
    std::size_t maxKeys = 0;
    std::uint32_t headerPage = 0;
    std::uint32_t rootPage = 0;
};

struct FileInfo
{
    unsigned char version = kVersionIV;
    std::string dbfName;
    unsigned char language = 0;
    std::uint32_t totalPages = 0;
    std::vector<TagInfo> tags;
};

/// Reads the file header, the tag table and every tag header from the whole file's bytes.
/// Anything out of bounds or inconsistent raises "Corrupt index file." naming `file`.
FileInfo parse(std::string_view bytes, const std::filesystem::path& file);

/// A key as stored, with its record number (from 1).
struct KeyEntry
{
    std::string key;
    std::uint32_t recno = 0;
};

/// What walking one tag's tree found: its keys in tree order and every fault seen. The walk never
/// leaves the file, never visits a page twice and stops at a fixed depth.
struct Walk
{
    std::vector<KeyEntry> entries;
    std::vector<std::string> problems;
    std::size_t depth = 0;
    std::size_t nodes = 0;
};
Walk walkTag(std::string_view bytes, const FileInfo& info, const TagInfo& tag);

/// A tag to write: its sorted keys (ascending, duplicates in record order).
struct TagBuild
{
    std::string name;
    std::string expression;
    char keyType = 'C';
    std::size_t keyLength = 0;
    std::vector<KeyEntry> entries;
};

/// The whole production index for table `dbfName` (file stem) with `tags`.
std::string build(std::string_view dbfName, const std::vector<TagBuild>& tags, unsigned char language);

/// The 12-byte numeric key of a value.
std::string numericKey(double value);
/// The value of a numeric key (nothing is read past 12 bytes).
double numericKeyValue(std::string_view key);
/// Orders two keys of a tag's type: negative, zero or positive.
int compareKeys(char keyType, std::string_view a, std::string_view b);

std::size_t itemLengthFor(std::size_t keyLength);
std::size_t maxKeysFor(std::size_t itemLength);

} // namespace conv::mdx

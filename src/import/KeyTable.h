#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace conv
{

/// A hash table keyed by text, for the stages' large lookups (a big school has millions of
/// codes). The slots lie in one array, probed linearly; a key of up to 16 bytes is kept in its
/// slot and a longer one in a text arena shared by the table, so a lookup usually reads one slot
/// and the table allocates only when it grows. Keys are compared exactly. A value found or
/// inserted may move when a later insert grows the table.
template <class Value> class KeyTable
{
public:
    /// The value kept for `key`, or null.
    Value* find(std::string_view key)
    {
        if (m_slots.empty())
            return nullptr;
        const std::size_t at = probe(key, hashOf(key));
        return m_slots[at].length ? &m_slots[at].value : nullptr;
    }
    const Value* find(std::string_view key) const
    {
        return const_cast<KeyTable*>(this)->find(key);
    }
    bool contains(std::string_view key) const
    {
        return find(key) != nullptr;
    }

    /// Starts fetching the slot where `key` would be found into the cache, for a lookup soon.
    void prefetch(std::string_view key) const
    {
#if defined(__GNUC__)
        if (!m_slots.empty())
            __builtin_prefetch(&m_slots[static_cast<std::size_t>(hashOf(key)) & (m_slots.size() - 1)]);
#else
        (void)key;
#endif
    }

    /// Keeps `value` for `key` when the key is new. Gives the value kept for the key, and
    /// whether it was inserted now.
    std::pair<Value*, bool> insert(std::string_view key, Value value = Value())
    {
        const std::uint64_t hash = hashOf(key);
        if ((m_size + 1) * 4 > m_slots.size() * 3)
            grow();
        const std::size_t at = probe(key, hash);
        Slot& slot = m_slots[at];
        if (slot.length)
            return {&slot.value, false};
        slot.tag = static_cast<std::uint32_t>(hash >> 32);
        slot.length = static_cast<std::uint32_t>(key.size()) + 1;
        if (key.size() <= kInline) {
            if (!key.empty())
                std::memcpy(slot.text, key.data(), key.size());
        } else {
            const std::uint64_t offset = m_arena.size();
            m_arena.append(key);
            std::memcpy(slot.text, &offset, sizeof offset);
        }
        slot.value = std::move(value);
        ++m_size;
        return {&slot.value, true};
    }
    /// The value kept for `key`, a default one inserted when the key is new.
    Value& operator[](std::string_view key)
    {
        return *insert(key).first;
    }

    std::size_t size() const noexcept
    {
        return m_size;
    }
    /// Makes room for `count` keys in all without growing on the way.
    void reserve(std::size_t count)
    {
        std::size_t want = 16;
        while (want * 3 < count * 4)
            want *= 2;
        if (want > m_slots.size())
            rehash(want);
    }

private:
    static constexpr std::size_t kInline = 16;

    struct Slot
    {
        std::uint32_t tag = 0;    ///< the hash's high half
        std::uint32_t length = 0; ///< the key's length plus one; 0 for a free slot
        char text[kInline] = {};  ///< the key, or its offset in the arena when it is longer
        [[no_unique_address]] Value value{};
    };

    static std::uint64_t hashOf(std::string_view key)
    {
        return std::hash<std::string_view>{}(key);
    }

    std::string_view keyOf(const Slot& slot) const
    {
        const std::size_t size = slot.length - 1;
        if (size <= kInline)
            return {slot.text, size};
        std::uint64_t offset = 0;
        std::memcpy(&offset, slot.text, sizeof offset);
        return std::string_view(m_arena).substr(offset, size);
    }

    /// The slot holding `key`, or the free slot where it would go.
    std::size_t probe(std::string_view key, std::uint64_t hash) const
    {
        const std::size_t mask = m_slots.size() - 1;
        const auto tag = static_cast<std::uint32_t>(hash >> 32);
        const auto length = static_cast<std::uint32_t>(key.size()) + 1;
        for (std::size_t at = static_cast<std::size_t>(hash) & mask;; at = (at + 1) & mask) {
            const Slot& slot = m_slots[at];
            if (slot.length == 0 || (slot.tag == tag && slot.length == length && keyOf(slot) == key))
                return at;
        }
    }

    void grow()
    {
        rehash(m_slots.empty() ? 16 : m_slots.size() * 2);
    }

    void rehash(std::size_t count)
    {
        std::vector<Slot> old(count);
        old.swap(m_slots);
        const std::size_t mask = count - 1;
        for (Slot& slot : old) {
            if (!slot.length)
                continue;
            const std::uint64_t hash = hashOf(keyOf(slot));
            std::size_t at = static_cast<std::size_t>(hash) & mask;
            while (m_slots[at].length)
                at = (at + 1) & mask;
            m_slots[at] = std::move(slot);
        }
    }

    std::vector<Slot> m_slots; // a power of two of them, at most three quarters used
    std::string m_arena;
    std::size_t m_size = 0;
};

/// A set of texts: a key table without values.
class KeySet
{
public:
    bool contains(std::string_view key) const
    {
        return m_table.contains(key);
    }
    void prefetch(std::string_view key) const
    {
        m_table.prefetch(key);
    }
    /// True when the key is new.
    bool insert(std::string_view key)
    {
        return m_table.insert(key).second;
    }
    std::size_t size() const noexcept
    {
        return m_table.size();
    }
    void reserve(std::size_t count)
    {
        m_table.reserve(count);
    }

private:
    struct Nothing
    {
    };
    KeyTable<Nothing> m_table;
};

/// The answer for the last key asked, kept: the lines of one course, group or code base
/// usually follow each other, and asking the large table again would miss the cache each time.
template <class Answer> class LastAnswer
{
public:
    /// The answer for `key`: the kept one when `key` was the last asked, else `compute()`'s.
    template <class Compute> Answer& get(std::string_view key, Compute&& compute)
    {
        if (!m_answer || key != m_key) {
            m_answer.emplace(compute());
            m_key.assign(key);
        }
        return *m_answer;
    }

private:
    std::string m_key;
    std::optional<Answer> m_answer;
};

} // namespace conv

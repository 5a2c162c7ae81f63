#pragma once

#include "sqlite_reader.h"

#include <QString>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

/// Hands out one shared QString for every occurrence of the same text read from
/// a database, so that the many records naming one species, element, date or
/// unit hold one implicitly shared copy of it instead of one copy each, and
/// each distinct text is converted to UTF-16 only once.
///
/// Texts are told apart by their exact UTF-8 bytes. The pool holds a reference
/// to every text it handed out until clear() or its destruction.
class text_pool
{
public:
    /// Value of column `i` of the current row of `q` as text, the shared copy
    /// when the column holds text; other values (NULL, numbers) convert as
    /// sqlite_reader::rows::toText does.
    QString text(const sqlite_reader::rows &q, int i);
    /// Number of distinct texts held.
    int size() const { return int(entries.size()); }
    /// Forgets every text.
    void clear();

private:
    struct entry
    {
        std::uint32_t offset; ///< of its bytes in `bytes`
        std::uint32_t length;
        QString value;
    };
    /// A place of the open-addressing table: part of the text's hash and the
    /// entry's index + 1 (0 for a free place).
    struct cell
    {
        std::uint32_t hash = 0;
        std::uint32_t entry = 0;
    };
    /// The text last handed out per column index: names, types and dates
    /// often repeat from one row to the next.
    struct recent
    {
        bool held = false; ///< bytes and value hold a text
        std::string bytes;
        QString value;
    };
    recent last[16];
    std::vector<cell> cells; ///< size a power of two, at most half full
    std::deque<entry> entries; ///< the texts, in the order first seen
    std::string bytes; ///< the UTF-8 bytes of every text held, one after the other

    static std::uint32_t hashOf(std::string_view s);
    size_t find(std::string_view s, std::uint32_t hash) const;
    QString lookup(const sqlite_reader::rows &q, int i, std::string_view s);
    void grow();
};

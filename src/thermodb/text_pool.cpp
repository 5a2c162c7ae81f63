#include "text_pool.h"

#include <cstring>

std::uint32_t text_pool::hashOf(std::string_view s)
{
    // Eight bytes at a time, each step mixed by a multiplication; the texts
    // are short names and dates. The high bits are folded into the low ones,
    // which pick the place in the table.
    const std::uint64_t k = 0x9e3779b97f4a7c15ull;
    std::uint64_t h = s.size() * k;
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ w) * k;
        h ^= h >> 29;
    }
    std::uint64_t w = 0;
    std::memcpy(&w, s.data() + i, s.size() - i);
    h = (h ^ w) * k;
    return std::uint32_t(h ^ (h >> 32));
}

size_t text_pool::find(std::string_view s, std::uint32_t hash) const
{
    const size_t mask = cells.size() - 1;
    for (size_t k = hash & mask;; k = (k + 1) & mask) {
        const cell &c = cells[k];
        if (c.entry == 0)
            return k;
        if (c.hash != hash)
            continue;
        const entry &e = entries[c.entry - 1];
        if (e.length == s.size() && std::memcmp(bytes.data() + e.offset, s.data(), s.size()) == 0)
            return k;
    }
}

void text_pool::grow()
{
    std::vector<cell> old(cells.empty() ? 256 : cells.size() * 2);
    old.swap(cells);
    const size_t mask = cells.size() - 1;
    for (const cell &c : old) {
        if (c.entry == 0)
            continue;
        size_t k = c.hash & mask;
        while (cells[k].entry != 0)
            k = (k + 1) & mask;
        cells[k] = c;
    }
}

QString text_pool::text(const sqlite_reader::rows &q, int i)
{
    std::string_view s;
    if (!q.textBytes(i, &s))
        return q.toText(i);
    recent *memo = i < 16 ? &last[i] : nullptr;
    if (!memo)
        return lookup(q, i, s);
    if (!memo->held || memo->bytes != s) {
        // Copied first: converting the value may move the row's bytes.
        memo->held = true;
        memo->bytes.assign(s.data(), s.size());
        memo->value = lookup(q, i, memo->bytes);
    }
    return memo->value;
}

QString text_pool::lookup(const sqlite_reader::rows &q, int i, std::string_view s)
{
    if ((entries.size() + 1) * 2 > cells.size())
        grow();
    const std::uint32_t hash = hashOf(s);
    cell &c = cells[find(s, hash)];
    if (c.entry != 0)
        return entries[c.entry - 1].value;
    entries.push_back({std::uint32_t(bytes.size()), std::uint32_t(s.size()), QString()});
    bytes.append(s.data(), s.size()); // before toText(), which may move the row's bytes
    entries.back().value = q.toText(i);
    c.hash = hash;
    c.entry = std::uint32_t(entries.size());
    return entries.back().value;
}

void text_pool::clear()
{
    std::vector<cell>().swap(cells);
    std::deque<entry>().swap(entries);
    std::string().swap(bytes);
    for (recent &r : last)
        r = recent();
}

#include "text_pool.h"

#include <cstring>

std::uint64_t text_pool::hashOf(std::string_view s)
{
    // Eight bytes at a time, each step mixed by a multiplication; the texts
    // are short names and dates, and the table's size is a power of two, so
    // the high bits are folded into the low ones at the end.
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
    return h ^ (h >> 32);
}

size_t text_pool::find(std::string_view s, std::uint64_t hash) const
{
    const size_t mask = cells.size() - 1;
    for (size_t k = size_t(hash) & mask;; k = (k + 1) & mask) {
        const slot &e = cells[k];
        if (!e.used)
            return k;
        if (e.hash == hash && e.length == s.size()
            && std::memcmp(bytes.data() + e.offset, s.data(), s.size()) == 0)
            return k;
    }
}

void text_pool::grow()
{
    std::vector<slot> old;
    old.swap(cells);
    cells.resize(old.empty() ? 256 : old.size() * 2);
    for (slot &e : old) {
        if (!e.used)
            continue;
        const std::string_view s(bytes.data() + e.offset, e.length);
        cells[find(s, e.hash)] = std::move(e);
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
    if (memo->bytes != s) {
        // Copied first: converting the value may move the row's bytes.
        memo->bytes.assign(s.data(), s.size());
        memo->value = lookup(q, i, memo->bytes);
    }
    return memo->value;
}

QString text_pool::lookup(const sqlite_reader::rows &q, int i, std::string_view s)
{
    if ((count + 1) * 2 > cells.size())
        grow();
    const std::uint64_t hash = hashOf(s);
    slot &e = cells[find(s, hash)];
    if (e.used)
        return e.value;
    e.used = true;
    e.hash = hash;
    e.offset = std::uint32_t(bytes.size());
    e.length = std::uint32_t(s.size());
    bytes.append(s.data(), s.size()); // before toText(), which may move the row's bytes
    e.value = q.toText(i);
    ++count;
    return e.value;
}

void text_pool::clear()
{
    std::vector<slot>().swap(cells);
    std::string().swap(bytes);
    count = 0;
    for (recent &r : last)
        r = recent();
}

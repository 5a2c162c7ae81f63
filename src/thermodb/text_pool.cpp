#include "text_pool.h"

#include <cstring>

std::uint64_t text_pool::hashOf(std::string_view s)
{
    // FNV-1a: texts here are short names and dates.
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : s) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
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
    if (!q.isText(i))
        return q.toText(i);
    const std::string_view s = q.textBytes(i);
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
}

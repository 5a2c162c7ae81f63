#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

/// Lets equal lists share one implicitly shared copy: many records of a
/// database hold the same element list, the same coefficients, the same term
/// indexes or the same temperature grid. Lists are equal when their entries
/// are equal bit for bit (a -0.0 stays apart from 0.0); texts compare as texts.
///
/// A shared list detaches as soon as one of its holders changes it, so
/// sharing changes no value. The pool holds a reference to every list it
/// gave out until it is cleared or destroyed.
template<class T>
class list_pool
{
public:
    /// Replaces `list` by the pool's equal list, or keeps it as the pool's.
    void share(QList<T> &list)
    {
        if (list.isEmpty())
            return;
        if ((lists.size() + 1) * 2 > cells.size())
            grow();
        const std::uint32_t h = hashOf(list);
        const size_t mask = cells.size() - 1;
        size_t k = h & mask;
        for (; cells[k].entry != 0; k = (k + 1) & mask) {
            if (cells[k].hash == h && same(lists[cells[k].entry - 1], list)) {
                list = lists[cells[k].entry - 1];
                return;
            }
        }
        lists.push_back(list);
        cells[k] = {h, std::uint32_t(lists.size())};
    }
    /// Number of distinct lists held.
    int size() const { return int(lists.size()); }
    /// Forgets every list.
    void clear()
    {
        std::vector<cell>().swap(cells);
        std::deque<QList<T>>().swap(lists);
    }

private:
    struct cell
    {
        std::uint32_t hash = 0;
        std::uint32_t entry = 0; ///< index in `lists` + 1, 0 for a free place
    };
    std::vector<cell> cells; ///< open addressing, size a power of two, at most half full
    std::deque<QList<T>> lists;

    static std::uint64_t mix(std::uint64_t h, std::uint64_t w)
    {
        h = (h ^ w) * 0x9e3779b97f4a7c15ull;
        return h ^ (h >> 29);
    }
    static std::uint32_t hashOf(const QList<T> &list)
    {
        std::uint64_t h = std::uint64_t(list.size());
        for (const T &v : list)
            h = mix(h, bitsOf(v));
        return std::uint32_t(h ^ (h >> 32));
    }
    static bool same(const QList<T> &a, const QList<T> &b)
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (!sameEntry(a[i], b[i]))
                return false;
        return true;
    }
    static std::uint64_t bitsOf(double v)
    {
        std::uint64_t w;
        std::memcpy(&w, &v, sizeof w);
        return w;
    }
    static std::uint64_t bitsOf(int v) { return std::uint32_t(v); }
    static std::uint64_t bitsOf(const QString &s) { return qHash(s) + (s.isNull() ? 1 : 0); }
    static bool sameEntry(double a, double b) { return bitsOf(a) == bitsOf(b); }
    static bool sameEntry(int a, int b) { return a == b; }
    static bool sameEntry(const QString &a, const QString &b)
    {
        return a.isNull() == b.isNull() && a == b;
    }

    void grow()
    {
        std::vector<cell> old(cells.empty() ? 64 : cells.size() * 2);
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
};

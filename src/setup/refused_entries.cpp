#include "refused_entries.h"

void refused_entries::keep(const refused_entry &entry)
{
    drop(entry.water, entry.place);
    entries.append(entry);
}

void refused_entries::drop(const one_water *water, const QString &place)
{
    entries.removeIf([&](const refused_entry &e) { return e.water == water && e.place == place; });
}

refused_entry *refused_entries::find(const one_water *water, const QString &place)
{
    for (refused_entry &e : entries)
        if (e.water == water && e.place == place)
            return &e;
    return nullptr;
}

QList<refused_entry> refused_entries::of(const one_water *water) const
{
    QList<refused_entry> mine;
    for (const refused_entry &e : entries)
        if (e.water == water)
            mine.append(e);
    return mine;
}

void refused_entries::keepOnly(const one_water *water)
{
    entries.removeIf([water](const refused_entry &e) { return e.water != water; });
}

#include "sim_system_cache.h"

#include "records.h"
#include "sim_system.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A batch's content as the preparation reads it: numbers as bit patterns (so that
// every double compares exactly, NaN included), counts and markers in one list of
// words, and copies of the texts and lists in the order they are read. Every list
// is preceded by its length and every optional record by a marker, so two batches
// read alike only when they are alike.
//
// A copy shares the batch's storage (Qt's implicit sharing): while the copy holds
// it, any change the batch makes to that text or list moves it to new storage
// first. A text or list still at the very storage the copy holds is therefore
// unchanged, and its content need not be compared. Only storage the copy owns
// allows this: text over memory it does not own is copied outright.
struct snapshot
{
    std::vector<std::uint64_t> words;
    std::vector<QString> texts;
    std::vector<QStringList> textLists;
    std::vector<QList<double>> numberLists;
    std::vector<QList<int>> intLists;
};

const std::uint64_t absent = ~std::uint64_t(0);

static_assert(sizeof(double) == sizeof(std::uint64_t), "a double is kept as its 64 bits");

std::uint64_t bitsOf(double v)
{
    std::uint64_t w;
    std::memcpy(&w, &v, sizeof w);
    return w;
}

/// True when the text holds storage of its own (not static or raw text).
bool ownsStorage(const QString &t)
{
    return t.isEmpty() || t.data_ptr().isMutable();
}

/// True when the list holds storage of its own (an allocated list has a capacity).
template<class T>
bool ownsStorage(const QList<T> &list)
{
    return list.isEmpty() || list.capacity() > 0;
}

/// A copy of the text that holds its content.
QString held(const QString &t)
{
    return ownsStorage(t) ? t : QString(t.constData(), t.size());
}

template<class T>
QList<T> held(const QList<T> &list)
{
    return ownsStorage(list) ? list : QList<T>(list.cbegin(), list.cend());
}

QStringList held(const QStringList &list)
{
    bool all = ownsStorage(list);
    for (const QString &t : list)
        all = all && ownsStorage(t);
    if (all)
        return list;
    QStringList copy;
    copy.reserve(list.size());
    for (const QString &t : list)
        copy << held(t);
    return copy;
}

/// True when `now` is still at the storage `kept` holds (kept from held()).
template<class T>
bool atKeptStorage(const T &kept, const T &now)
{
    return kept.constData() == now.constData() && kept.size() == now.size();
}

bool sameText(const QString &kept, const QString &now)
{
    if (kept.size() != now.size())
        return false;
    return kept.isEmpty() || atKeptStorage(kept, now)
        || std::memcmp(kept.constData(), now.constData(), size_t(now.size()) * sizeof(QChar)) == 0;
}

template<class T>
bool sameList(const QList<T> &kept, const QList<T> &now)
{
    if (kept.size() != now.size())
        return false;
    return kept.isEmpty() || atKeptStorage(kept, now)
        || std::memcmp(kept.constData(), now.constData(), size_t(now.size()) * sizeof(T)) == 0;
}

bool sameTexts(const QStringList &kept, const QStringList &now)
{
    if (kept.size() != now.size())
        return false;
    if (atKeptStorage(kept, now))
        return true;
    for (qsizetype i = 0; i < now.size(); ++i)
        if (!sameText(kept.at(i), now.at(i)))
            return false;
    return true;
}

/// Writes a batch's content into a snapshot.
class recorder
{
public:
    explicit recorder(snapshot &s)
        : s(s)
    { }
    bool same() const { return true; }
    void word(std::uint64_t w) { s.words.push_back(w); }
    void number(double v) { word(bitsOf(v)); }
    void numbers(const QList<double> &list) { s.numberLists.push_back(held(list)); }
    void integers(const QList<int> &list) { s.intLists.push_back(held(list)); }
    void text(const QString &t) { s.texts.push_back(held(t)); }
    void texts(const QStringList &list) { s.textLists.push_back(held(list)); }

private:
    snapshot &s;
};

/// Reads a batch's content against a snapshot; same() turns false at the first
/// difference and stays so.
class comparer
{
public:
    explicit comparer(const snapshot &s)
        : s(s)
    { }
    bool same() const { return ok; }
    void word(std::uint64_t w)
    {
        ok = ok && wi < s.words.size() && s.words[wi] == w;
        ++wi;
    }
    void number(double v) { word(bitsOf(v)); }
    void numbers(const QList<double> &list)
    {
        ok = ok && ni < s.numberLists.size() && sameList(s.numberLists[ni], list);
        ++ni;
    }
    void integers(const QList<int> &list)
    {
        ok = ok && ii < s.intLists.size() && sameList(s.intLists[ii], list);
        ++ii;
    }
    void text(const QString &t)
    {
        ok = ok && ti < s.texts.size() && sameText(s.texts[ti], t);
        ++ti;
    }
    void texts(const QStringList &list)
    {
        ok = ok && li < s.textLists.size() && sameTexts(s.textLists[li], list);
        ++li;
    }
    /// True when the whole snapshot was read and matched.
    bool complete() const
    {
        return ok && wi == s.words.size() && ti == s.texts.size() && li == s.textLists.size()
            && ni == s.numberLists.size() && ii == s.intLists.size();
    }

private:
    const snapshot &s;
    bool ok = true;
    size_t wi = 0, ti = 0, li = 0, ni = 0, ii = 0;
};

template<class Sink>
void elementComposition(Sink &k, const one_comp_elements *c)
{
    if (c == nullptr) {
        k.word(absent);
        return;
    }
    k.word(0);
    k.texts(c->element);
    k.numbers(c->stoich);
}

template<class Sink>
void reaction(Sink &k, const one_rxn *r)
{
    k.text(r->name);
    k.word(std::uint64_t(std::int64_t(r->type)));
    if (r->composition == nullptr) {
        k.word(absent);
    } else {
        k.word(0);
        k.texts(r->composition->solute);
        k.numbers(r->composition->stoich);
    }
    const one_rxn_eqk *e = r->eqk;
    if (e == nullptr) {
        k.word(absent);
        return;
    }
    k.word(std::uint64_t(std::int64_t(e->type_eqn)));
    k.numbers(e->coeff);
    k.numbers(e->quotient);
    k.integers(e->order_idx);
    k.numbers(e->eqkLog10);
    k.numbers(e->temperature);
}

// Everything of the batch that the preparation of a system reads.
template<class Sink>
void walk(const sim_data *sd, Sink &k)
{
    for (const QString *name : {&sd->nameH2O, &sd->nameO2g, &sd->nameHplus, &sd->nameOH})
        k.text(*name);
    if (sd->bdot == nullptr) {
        k.word(absent);
    } else {
        k.word(std::uint64_t(sd->bdot->DHbdot.size()));
        k.numbers(sd->bdot->adh);
        k.numbers(sd->bdot->bdh);
        k.numbers(sd->bdot->bdot);
    }
    k.word(std::uint64_t(sd->elements.size()));
    for (const one_element *e : sd->elements) {
        k.text(e->name);
        k.number(e->mol_wt);
    }
    k.word(std::uint64_t(sd->solutes.size()));
    for (const one_solute *s : sd->solutes) {
        if (!k.same())
            return;
        k.text(s->name);
        k.number(s->charge);
        k.number(s->DHazero);
        k.number(s->mol_wt);
        elementComposition(k, s->composition);
    }
    k.word(std::uint64_t(sd->gases.size()));
    for (const one_gas *g : sd->gases) {
        k.text(g->name);
        k.number(g->mol_wt);
        elementComposition(k, g->composition);
    }
    k.word(std::uint64_t(sd->solids.size()));
    for (const one_solid *s : sd->solids)
        k.text(s->name);
    for (const QList<one_rxn *> *list : {&sd->rxnsAqueous, &sd->rxnsGas}) {
        k.word(std::uint64_t(list->size()));
        for (const one_rxn *r : *list) {
            if (!k.same())
                return;
            reaction(k, r);
        }
    }
}

struct entry
{
    snapshot content;
    std::shared_ptr<const sim_system> system;
};

/// Most recently used first.
std::vector<entry> &entries()
{
    thread_local std::vector<entry> kept;
    return kept;
}

} // namespace

std::shared_ptr<const sim_system> sim_system_cache::find(const sim_data *sd)
{
    if (sd == nullptr)
        return nullptr;
    std::vector<entry> &kept = entries();
    for (size_t i = 0; i < kept.size(); ++i) {
        comparer k(kept[i].content);
        walk(sd, k);
        if (!k.complete())
            continue;
        if (i > 0) {
            entry hit = std::move(kept[i]);
            kept.erase(kept.begin() + std::ptrdiff_t(i));
            kept.insert(kept.begin(), std::move(hit));
        }
        return kept.front().system;
    }
    return nullptr;
}

void sim_system_cache::store(const sim_data *sd, std::shared_ptr<const sim_system> system)
{
    if (sd == nullptr || system == nullptr)
        return;
    entry e;
    recorder k(e.content);
    walk(sd, k);
    e.system = std::move(system);
    std::vector<entry> &kept = entries();
    if (int(kept.size()) >= capacity)
        kept.pop_back();
    kept.insert(kept.begin(), std::move(e));
}

void sim_system_cache::clear()
{
    entries().clear();
}

int sim_system_cache::size()
{
    return int(entries().size());
}

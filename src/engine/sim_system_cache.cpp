#include "sim_system_cache.h"

#include "records.h"
#include "sim_system.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A batch's content as the preparation reads it, flattened into numbers (bit
// patterns, so that every double compares exactly, NaN included) and UTF-16 text.
// Every list is preceded by its length and every optional record by a marker, so
// two batches flatten alike only when they are alike.
struct snapshot
{
    std::vector<std::uint64_t> words;
    std::vector<char16_t> text;
};

const std::uint64_t absent = ~std::uint64_t(0);

static_assert(sizeof(double) == sizeof(std::uint64_t), "a double is kept as its 64 bits");

std::uint64_t bitsOf(double v)
{
    std::uint64_t w;
    std::memcpy(&w, &v, sizeof w);
    return w;
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
    void numbers(const QList<double> &list)
    {
        word(std::uint64_t(list.size()));
        const size_t at = s.words.size();
        s.words.resize(at + size_t(list.size()));
        if (!list.isEmpty())
            std::memcpy(s.words.data() + at, list.constData(), size_t(list.size()) * 8);
    }
    void text(const QString &t)
    {
        word(std::uint64_t(t.size()));
        const auto *p = reinterpret_cast<const char16_t *>(t.constData());
        s.text.insert(s.text.end(), p, p + t.size());
    }

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
        const size_t n = size_t(list.size());
        word(std::uint64_t(n));
        if (!ok)
            return;
        ok = wi + n <= s.words.size()
            && (n == 0 || std::memcmp(s.words.data() + wi, list.constData(), n * 8) == 0);
        wi += n;
    }
    void text(const QString &t)
    {
        const size_t n = size_t(t.size());
        word(std::uint64_t(n));
        if (!ok || n == 0) // an empty text may have no storage at all
            return;
        ok = ti + n <= s.text.size()
            && std::memcmp(s.text.data() + ti, t.constData(), n * sizeof(char16_t)) == 0;
        ti += n;
    }
    /// True when the whole snapshot was read and matched.
    bool complete() const { return ok && wi == s.words.size() && ti == s.text.size(); }

private:
    const snapshot &s;
    bool ok = true;
    size_t wi = 0;
    size_t ti = 0;
};

template<class Sink>
void numbers(Sink &k, const QList<double> &list)
{
    k.numbers(list);
}

template<class Sink>
void texts(Sink &k, const QStringList &list)
{
    k.word(std::uint64_t(list.size()));
    for (const QString &t : list)
        k.text(t);
}

template<class Sink>
void elementComposition(Sink &k, const one_comp_elements *c)
{
    if (c == nullptr) {
        k.word(absent);
        return;
    }
    k.word(0);
    texts(k, c->element);
    numbers(k, c->stoich);
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
        texts(k, r->composition->solute);
        numbers(k, r->composition->stoich);
    }
    const one_rxn_eqk *e = r->eqk;
    if (e == nullptr) {
        k.word(absent);
        return;
    }
    k.word(std::uint64_t(std::int64_t(e->type_eqn)));
    numbers(k, e->coeff);
    numbers(k, e->quotient);
    k.word(std::uint64_t(e->order_idx.size()));
    for (int o : e->order_idx)
        k.word(std::uint64_t(std::int64_t(o)));
    numbers(k, e->eqkLog10);
    numbers(k, e->temperature);
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
        numbers(k, sd->bdot->adh);
        numbers(k, sd->bdot->bdh);
        numbers(k, sd->bdot->bdot);
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

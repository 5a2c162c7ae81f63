#include "sim_system.h"

#include <algorithm>

std::u16string_view sim_system::key(QStringView name)
{
    static_assert(sizeof(QChar) == sizeof(char16_t), "QChar holds one UTF-16 unit");
    return std::u16string_view(reinterpret_cast<const char16_t *>(name.data()),
                               size_t(name.size()));
}

int sim_system::find(const name_index &index, QStringView name)
{
    const auto it = index.find(key(name));
    return it == index.end() ? -9 : it->second;
}

int sim_system::elementIndex(QStringView name) const
{
    return find(elementByName, name);
}

int sim_system::soluteIndex(QStringView name) const
{
    return find(soluteByName, name);
}

int sim_system::speciesIndex(QStringView name) const
{
    return find(speciesByName, name);
}

int sim_system::speciesIndex(const std::string &name) const
{
    const auto it = speciesByUtf8.find(name);
    return it == speciesByUtf8.end() ? -9 : it->second;
}

void sim_system::reserveNames(int elementCount, int speciesCount)
{
    elementNames.reserve(size_t(std::max(elementCount, 0)));
    speciesNames.reserve(size_t(std::max(speciesCount, 0)));
}

void sim_system::addElementName(const QString &name)
{
    if (elementNames.size() >= elementNames.capacity())
        return; // growing the list would move the texts the views point into
    const int pos = int(elementNames.size());
    elementNames.emplace_back(key(name));
    elementByName.emplace(elementNames.back(), pos); // the first of a name wins
}

void sim_system::addSpeciesName(const QString &name, const std::string &utf8, bool solute)
{
    if (speciesNames.size() >= speciesNames.capacity())
        return;
    const int pos = int(speciesNames.size());
    speciesTexts << name;
    speciesNames.emplace_back(key(name));
    const std::u16string_view view = speciesNames.back();
    speciesByName.emplace(view, pos);
    if (solute)
        soluteByName.emplace(view, pos);
    speciesByUtf8.emplace(utf8, pos);
}

std::shared_ptr<const sim_left_out> sim_system::leftOut(const std::vector<char> &takesPart) const
{
    std::lock_guard<std::mutex> lock(leftOutLock);
    for (const std::shared_ptr<const sim_left_out> &e : leftOuts)
        if (e->takesPart == takesPart)
            return e;
    return nullptr;
}

void sim_system::keepLeftOut(std::shared_ptr<const sim_left_out> entry) const
{
    // A batch moves between a few stretches of the log K grid; more are not kept.
    const size_t most = 16;
    std::lock_guard<std::mutex> lock(leftOutLock);
    if (leftOuts.size() >= most)
        leftOuts.erase(leftOuts.begin());
    leftOuts.push_back(std::move(entry));
}

std::shared_ptr<const std::vector<double>> sim_system::log10KAt(double TC) const
{
    std::lock_guard<std::mutex> lock(leftOutLock);
    for (const auto &[at, values] : log10Ks)
        if (at == TC)
            return values;
    return nullptr;
}

void sim_system::keepLog10K(double TC, std::shared_ptr<const std::vector<double>> values) const
{
    // The temperatures a batch's waters share; a sweep over many keeps only the last.
    const size_t most = 8;
    std::lock_guard<std::mutex> lock(leftOutLock);
    if (log10Ks.size() >= most)
        log10Ks.erase(log10Ks.begin());
    log10Ks.emplace_back(TC, std::move(values));
}

void sim_system::setSpecies(int e, const QStringList &names, const QSet<QString> &leftOut,
                            std::vector<int> &found) const
{
    std::lock_guard<std::mutex> lock(leftOutLock);
    if (e >= 0 && size_t(e) < setSpeciesOf.size() && setSpeciesOf[size_t(e)].first == names) {
        found = setSpeciesOf[size_t(e)].second; // a water's lists are shared: compared at once
        return;
    }
    found.clear();
    found.reserve(size_t(names.size()));
    for (const QString &name : names) {
        const int k = speciesIndex(name);
        if ((k < 0 && leftOut.contains(name)) || (k >= 0 && species[size_t(k)].gas))
            found.push_back(-2);
        else
            found.push_back(k < 0 ? -1 : k);
    }
    if (e >= 0) {
        if (size_t(e) >= setSpeciesOf.size())
            setSpeciesOf.resize(size_t(e) + 1);
        setSpeciesOf[size_t(e)] = {names, found};
    }
}

const sim_rxn_prop::dh_groups &sim_system::dhGroups() const
{
    std::call_once(dhGroupsFound,
                   [this] { dhGroupsKept = sim_rxn_prop::dh_groups_of(species, nspecies); });
    return dhGroupsKept;
}

#include "records.h"

one_solute::~one_solute()
{
    delete composition;
}

one_solid::~one_solid()
{
    delete composition;
}

one_liquid::~one_liquid()
{
    delete composition;
}

one_gas::~one_gas()
{
    delete composition;
}

one_rxn::~one_rxn()
{
    delete compSpecies;
    delete composition;
    delete eqk;
}

one_redoxRxn::~one_redoxRxn()
{
    if (ownsLinks) {
        delete elementRec;
        delete gasRec;
        delete rxn;
    }
}

QString one_redoxRxn::recName() const
{
    if (elementRec)
        return elementRec->name;
    if (gasRec)
        return gasRec->name;
    return QString();
}

one_water_result::~one_water_result()
{
    qDeleteAll(soln_elem);
    qDeleteAll(soln_aq);
    qDeleteAll(soln_gas);
    qDeleteAll(rxns);
    qDeleteAll(solids);
}

one_water::~one_water()
{
    qDeleteAll(composition);
    qDeleteAll(gasComp);
    delete redoxO2g;
    delete mixdata;
    delete results;
}

sim_data::~sim_data()
{
    // The current control set and Debye-Huckel record belong to this sim_data
    // unless they were registered as well; free each exactly once.
    if (!isOwned(ctrlset))
        delete ctrlset;
    if (!isOwned(bdot))
        delete bdot;
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        it->free(it->ptr);
}

bool sim_data::disown(const void *rec)
{
    if (!rec || !ownedSet.remove(rec))
        return false;
    for (auto it = owned.begin(); it != owned.end(); ++it) {
        if (it->ptr == rec) {
            owned.erase(it);
            break;
        }
    }
    return true;
}

#pragma once

#include "records.h"

/// Independent deep copies of records. Every operation returns a new record
/// (null for a null source) that the caller owns; the source is not changed.
///
/// Links stay links: a copied species keeps its `thermo` link, a copied water
/// shares its swap reactions and a copied redox record its solute records.
class copy_struct
{
public:
    one_ctrlset *copy_ctrlset(const one_ctrlset *src); ///< all nine fields
    one_comp_elements *copy_comp_elements(const one_comp_elements *src); ///< lists copied
    one_comp_solutes *copy_comp_solutes(const one_comp_solutes *src); ///< lists copied
    one_rxn_eqk *copy_rxn_eqk(const one_rxn_eqk *src); ///< lists copied
    /// A reaction with its own composition records and constant; `thermo` is null.
    one_rxn *copy_rxn(const one_rxn *src);
    /// A redox record owning copies of its element (or gas) and reaction; the
    /// solute records stay shared links.
    one_redoxRxn *copy_redoxRxn(const one_redoxRxn *src);
    one_elementComp *copy_elementComp(const one_elementComp *src); ///< every field
    one_gasComp *copy_gasComp(const one_gasComp *src); ///< every field but `id` (0)
    one_waterResult_element *copy_waterResult_element(const one_waterResult_element *src);
    one_waterResult_solute *copy_waterResult_solute(const one_waterResult_solute *src);
    one_waterResult_rxn *copy_waterResult_rxn(const one_waterResult_rxn *src);
    one_water_mixModel *copy_water_mixModel(const one_water_mixModel *src);
    /// A result with a copy of every entry of its five lists.
    one_water_result *copy_water_result(const one_water_result *src);
    /// A water with copies of its entries, mixing record and result, stamped
    /// with the current date and a note line naming its source.
    one_water *copy_water(const one_water *src);
    /// A copy of `src` (as copy_water) named src's name + " dupl" + the smallest N
    /// from 1 that no water of `waters` has (names compared ignoring case).
    one_water *duplicate_water(const one_water *src, const QList<one_water *> &waters);
    one_element *copy_element(const one_element *src); ///< every field
    one_solute *copy_solute(const one_solute *src); ///< with its own composition
    one_gas *copy_gas(const one_gas *src); ///< with its own composition
    one_solid *copy_solid(const one_solid *src); ///< with its own composition
    one_liquid *copy_liquid(const one_liquid *src); ///< with its own composition
};

#pragma once

// Working records of one speciation run. They are built from the batch's chemical
// system and one water at the start of a run, and released with the run's sim0D.
// Per-species vectors hold the working solutes in list order, then the gas species.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

/// Run options copied from the water and the control set.
struct sim_ctrl
{
    int32_t idxH2O = -1; ///< position of the species "H2O"; -1 when absent
    int32_t idxO2g = -1; ///< position of the solute "O2(g)"; -1 when absent
    int32_t activitymethod = 0; ///< activity-coefficient model code (activity_type)
    int32_t activitywater = 0; ///< water-activity model code (activityWater_type)
};

/// One element of the batch.
struct pt_element
{
    std::string name; ///< element name
    double mol_wt = 0.0; ///< g/mol
};

/// Amount of one batch element in a species.
struct pt_elemcomp
{
    int32_t id = 0; ///< element position in the batch
    std::string element; ///< element name when the species holds it, else empty
    double stoich = 0.0; ///< atoms of the element per formula unit
};

/// One species (variable) of the model.
struct pt_solute
{
    int32_t id = 0; ///< position among the species
    std::string name; ///< species name
    std::string type; ///< "aqueous" or "gas"
    double charge = 0.0; ///< charge number z
    double DHazero = 0.0; ///< ion-size parameter, Angstrom
    double mol_wt = 0.0; ///< g/mol
    bool gas = false; ///< a fugacity, not a concentration: gamma 1, no mass balance
    std::vector<pt_elemcomp> elements; ///< one entry per batch element, in batch order
};

/// One solid of the batch (carried, not solved).
struct pt_solid
{
    int32_t id = 0; ///< position in the batch
    std::string name; ///< solid name
    std::vector<pt_elemcomp> elements; ///< one empty entry per batch element
};

/// One mass-action row.
struct pt_rxn
{
    int32_t id = 0; ///< position in its list
    std::string name; ///< reaction name
    std::vector<double> stoich; ///< coefficient per species (0 outside the reaction)
    std::vector<double> stoichList; ///< coefficient of the k-th listed species (0 when not found)
    std::vector<std::string>
        speciesList; ///< name of the k-th listed species (empty when not found)
    std::vector<int32_t> nonzero; ///< species with a non-zero coefficient, ascending
    int32_t nterms = 0; ///< number of log K polynomial terms
    std::vector<double> coeff; ///< log10 K polynomial coefficients
    std::vector<double> quotient; ///< exponent of T (Celsius) of each term
    int32_t ownIdx = -1; ///< species the reaction defines (named like it); -1 when none
    double fixedLnActivity = 0.0; ///< ln activity x coefficient of a listed phase that is not a
                                  ///< species (a solid at unit activity, a gas at its set fugacity)
    double TlowValid = 0.0; ///< lowest temperature with a tabulated log K, Celsius
    double ThighValid = 0.0; ///< highest temperature with a tabulated log K, Celsius
};

/// Molalities of the current Newton state.
struct pt_rxn_C
{
    std::vector<double> molal; ///< mol/kg water
    std::vector<double> lnmolal; ///< ln(molal)
    std::vector<double> molalPrev; ///< molality before the last update
};

/// Debye-Hueckel polynomial coefficients carried from the batch (not used for gamma).
struct pt_rxn_DHref
{
    std::vector<double> adh; ///< coefficients of A(T)
    std::vector<double> bdh; ///< coefficients of B(T)
    std::vector<double> bdot; ///< coefficients of B-dot(T)
};

/// Activity coefficients of every species at one state.
struct pt_rxn_DH
{
    std::vector<double> gamma; ///< activity coefficient (water: its activity)
    std::vector<double> lngamma; ///< ln gamma
    std::vector<double> log10gamma; ///< log10 gamma
    double ionicstrength = 0.0; ///< mol/kg
    double DHa = 0.0; ///< Debye-Hueckel A used, kg^0.5 mol^-0.5
    double DHb = 0.0; ///< Debye-Hueckel B used, kg^0.5 mol^-0.5 Angstrom^-1
    double DHbdot = 0.0; ///< B-dot used, kg/mol
};

/// The linear system of one Newton step: rows . dx = b.
struct pt_numeric_mat
{
    pt_numeric_mat(int size);
    ~pt_numeric_mat();
    pt_numeric_mat(const pt_numeric_mat &) = delete;
    pt_numeric_mat &operator=(const pt_numeric_mat &) = delete;

    /// b, x and perm to zero, as in a new matrix; the rows stay as they are.
    void clearVectors();
    /// Rows from `first` on to zero.
    void clearRows(int first);

    /// What a run takes a matrix for: each use keeps its own.
    enum class use { step, reduced };
    /// A zero matrix of `size` variables: the storage the thread's last run gave back
    /// for that use when it has room, else a new one. The storage of a run stays in
    /// the caches for the next, and nothing is allocated.
    static std::unique_ptr<pt_numeric_mat> take(use u, int size);
    /// Keeps the matrix for the thread's next take() for that use; `zero` when every
    /// entry is zero (b, x and perm aside), else it is cleared first.
    static void giveBack(use u, std::unique_ptr<pt_numeric_mat> m, bool zero);

    int32_t n = 0; ///< number of variables
    int32_t *perm = nullptr; ///< variable held in each column
    double **rows = nullptr; ///< n rows of n+1 doubles; column n is the solver's copy of b
    double *x = nullptr; ///< n doubles, untouched by the solver
    double *b = nullptr; ///< residuals on entry, solution on return

private:
    /// Rows of `size` variables in storage order.
    void layRows(int size);

    int32_t room = 0; ///< most variables the storage holds
    double *block
        = nullptr; ///< storage of all rows, one allocation (the solver swaps row pointers)
};

/// One mass-balance (or condition) set of the water.
struct pt_compset
{
    int32_t id = 0; ///< position among the sets
    std::string element; ///< element (or "O2(g)") of the set
    int32_t nsp = 0; ///< number of species
    std::vector<int32_t> spIdx; ///< species positions, -9 for a name not in the model
    std::vector<std::string> species; ///< species names
    std::vector<double> stoich; ///< coefficients
    double molal = 0.0; ///< total molality (fugacity for O2(g))
    int32_t swapIdx = -1; ///< position in rxnsConstraint; -1 when none
    std::string swaprxn; ///< swap reaction name, may be empty
    bool swapOn = false; ///< the swap reaction replaces the mass balance
    bool activityRow = false; ///< the row fixes ln(m gamma) of its one species (pH form)
};

/// The water of the run.
struct pt_water
{
    double TC = 0.0; ///< Celsius
    double densitymass = 0.0; ///< g/cc
    int32_t nsets = 0; ///< number of sets
    std::vector<pt_compset> compsets; ///< the sets
};

/// Result of one species.
struct pt_species_res
{
    double molal = 0.0; ///< mol/kg water
    double gamma = 0.0; ///< activity coefficient
};

/// Result of one reaction.
struct pt_rxn_res
{
    double lnK = 0.0; ///< ln K
    double log10K = 0.0; ///< log10 K
    double residual = 0.0; ///< ln(Q/K) of the last assembly
    double TC = 0.0; ///< Celsius
};

/// Results of the run.
struct pt_results
{
    ~pt_results();
    double netcharge = 0.0; ///< sum of molal x charge, eq/kg
    double ionicstrength = 0.0; ///< mol/kg
    pt_rxn_res *tempRec = nullptr; ///< holds the water temperature (owned)
    double *waterProps = nullptr; ///< six doubles; [0] density (owned)
    std::vector<pt_species_res> speciesRes; ///< per species
    std::vector<pt_rxn_res> solidsRes; ///< one empty entry per solid
    std::vector<pt_rxn_res> rxnsFastRes; ///< per fast reaction
    std::vector<pt_rxn_res> rxnsConstraintRes; ///< per constraint reaction
};

/// Read-only view of a list that a prepared chemical system owns; every run of that
/// system reads the same list.
template<class T>
class shared_list
{
public:
    shared_list() = default;
    /// A view of `list`, which must outlive the view.
    explicit shared_list(const std::vector<T> &list)
        : v(&list)
    { }
    /// Entry i.
    const T &operator[](size_t i) const { return (*v)[i]; }
    /// Number of entries.
    size_t size() const { return v->size(); }
    /// True when the list has no entry.
    bool empty() const { return v->empty(); }
    /// First entry.
    typename std::vector<T>::const_iterator begin() const { return v->begin(); }
    /// Past the last entry.
    typename std::vector<T>::const_iterator end() const { return v->end(); }
    /// The list itself.
    operator const std::vector<T> &() const { return *v; }

private:
    static inline const std::vector<T> none {};
    const std::vector<T> *v = &none;
};

struct sim_system;

/// The model of one run.
struct sim_model
{
    sim_model();
    ~sim_model();
    sim_model(const sim_model &) = delete;
    sim_model &operator=(const sim_model &) = delete;

    int32_t nelements = 0, nspecies = 0, ngases = 0, nsolids = 0; ///< counts
    int32_t nrxnsFast = 0, nrxnsConstraint = 0; ///< reaction counts
    pt_results *results = nullptr; ///< owned
    std::shared_ptr<const sim_system> system; ///< the prepared chemical system (shared)
    shared_list<pt_element> elements; ///< batch elements (of `system`)
    shared_list<pt_solute> species; ///< solutes then gases (of `system`)
    shared_list<pt_solid> solids; ///< batch solids (of `system`)
    shared_list<pt_rxn> rxnsFast; ///< aqueous then gas reactions (of `system`)
    std::vector<pt_rxn> rxnsConstraint; ///< the water's swap reactions
    double *dxLast = nullptr; ///< last correction after the step rules (owned)
    bool converged = false; ///< the run converged
    double cvgValue = 0.0; ///< sum of |dx| of the last step
    int32_t loops = 0; ///< steps performed
};

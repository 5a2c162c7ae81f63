#pragma once

#include "mat_solver.h"
#include "solver_records.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

struct sim_data;
struct one_water;
struct one_water_result;
struct one_rxn;
struct one_rxn_eqk;
struct sim_left_out;
struct sim_system;

/// Equilibrium speciation of one water by Newton-Raphson in ln(molality).
///
/// One object serves one run: driver(), then listErrorMsgs() and results().
/// The sim_data and the water given to driver() are read, never changed. What
/// depends only on the chemical system is prepared once and shared by the runs of
/// every batch with the same content (sim_system_cache).
class sim0D
{
public:
    /// How each Newton step's linear system is solved. Both give the same step.
    enum class step_solver {
        reduced, ///< mass-action rows eliminated; dense solve over the composition sets
        full ///< dense complete-pivoting solve of all rows
    };

    sim0D();
    ~sim0D();
    sim0D(const sim0D &) = delete;
    sim0D &operator=(const sim0D &) = delete;

    /// Speciates the water; 0 when the run converged without error, 1 otherwise.
    int driver(sim_data *sd, one_water *w);
    /// The run's error messages (owned by this object).
    QStringList *listErrorMsgs();
    /// A new result record of the solved state; the caller owns it.
    one_water_result *results();
    /// Convergence sum of the last step.
    double cvgError();
    /// Newton steps performed.
    int cvgLoops();
    /// Net charge of the last state, eq/kg water.
    double netChargeBalance();

    /// Notes of the run that do not make it fail: the reactions left out at its
    /// temperature, by number and name.
    const QStringList &notes() const { return runNotes; }
    /// True when a reaction's log K data let it take part at TC degrees C: a constant
    /// tabulated at 25 C only below 100 C, any other where TC lies within its
    /// tabulated temperatures; a reaction without a table everywhere.
    static bool logKCovers(const one_rxn *r, double TC);
    /// The same rule on a log K alone, and where to read it: at 25 C for a constant
    /// tabulated at 25 C only, else at TC. False when the reaction takes no part at TC.
    static bool logKTemperature(const one_rxn_eqk *k, double TC, double *at);
    /// The batch's aqueous and gas reactions a run at TC leaves out: those whose data
    /// do not cover TC, and those that need a species formed by one of them.
    static QStringList reactionsLeftOut(const sim_data *sd, double TC);

    /// True when driver() refused the input before iterating (an inconsistent system,
    /// a missing or unknown element amount, a bad value, a water without an equilibrium
    /// state under its model): nothing was computed. False once the run iterated,
    /// whether it converged or not.
    bool refused = false;

    /// Chooses how Newton steps are solved (reduced by default).
    void setStepSolver(step_solver s) { stepSolver = s; }
    /// The run's model (null before driver()).
    const sim_model *model() const { return simmodel; }
    /// The run's water sets (null before driver()).
    const pt_water *waterModel() const { return simwater; }
    /// The current state (null before driver()).
    const pt_rxn_C *state() const { return rxnC; }

    // Steps of the run, in order. Each works on the members below.
    void transfer_data();
    void transfer_data_ctrl();
    void transfer_data_DH();
    void transfer_data_chems();
    void transfer_data_solutes();
    void transfer_data_gases();
    void transfer_data_solids();
    void transfer_data_rxns_fast();
    void transfer_data_one_rxn_fast(int position, one_rxn *r);
    void transfer_data_rxns_slow();
    void transfer_data_water();
    int setup_mat_solver();
    void setup_pt_rxn_C();
    void setup_charge_balance();
    void setup_alkalinity();
    /// Assembles rows and residuals at the current state with the given coefficients.
    int sim0D_spcn_jacobianMatrix(pt_rxn_DH *dh);
    /// Solves the assembled system; fills dx (nspecies entries). 0 solved, 1 singular.
    int solve_step(std::vector<double> &dx);
    /// Solves the assembled system with the dense full solver (rows are destroyed).
    int solve_step_full(std::vector<double> &dx);
    /// Solves the assembled system by eliminating the mass-action rows (rows kept).
    /// Returns 2 when the system cannot be reduced.
    int solve_step_reduced(std::vector<double> &dx);
    /// Solves the last reduced system again for another right-hand side of the rows.
    int solve_reduced_again(const double *rhs, std::vector<double> &y);
    /// Solves the step with the coefficients' change with the ionic strength taken in.
    int solve_step_with_coefficients(pt_rxn_DH *dh, std::vector<double> &dx);

    int find_idxBatch_element(QString name);
    int find_idxBatch_solute(QString name);
    int find_idxSim_solute(std::string name);
    /// Logs rows whose entries are all zero; returns 0.
    int evaluate_jacobian();

private:
    pt_rxn build_rxn(int position, const one_rxn *r, bool gasRxn, bool constraint);
    int find_gas_species(const std::string &name) const;
    void transfer_data_rxns_constraint();
    void prepare_system();
    void bind_system(std::shared_ptr<const sim_system> prepared);
    const sim_system &sys() const { return *simmodel->system; }
    bool check_consistency();
    void build_reduction_map();
    void build_set_columns();
    void prepare_reduction();
    bool order_fast_reactions(const std::vector<int> &definedBy, std::vector<int> &order) const;
    static bool all_reactions_take_part(const sim_system &s, double TC);
    static std::vector<char> reactions_taking_part(const sim_system &s, double TC);
    sim_left_out find_left_out(std::vector<char> takesPart) const;
    void record_logK_ranges();
    void leave_out_reactions(const sim_left_out &out);
    double damp_ionic_strength(pt_rxn_DH *dh, std::vector<double> &history) const;
    void newton_loop();
    bool solve_along_ionic_strength();
    bool any_swap() const;
    /// What a search from another state saves and gives back.
    struct run_state
    {
        std::vector<double> lnm, m, prev, dx, residual;
        std::vector<char> held;
        int nHeld = 0;
        double maxResidual = 0.0, maxSetResidual = 0.0;
    };
    run_state save_state() const;
    void restore_state(const run_state &s);
    bool solve_from_entered_water();
    /// What the search from the entered water keeps: the run's messages before it,
    /// its steps and their budget, and the set the charge balance replaces (-1: none).
    struct continuation
    {
        qsizetype messages = 0;
        int steps = 0;
        int budget = 0;
        int balanced = -1;
    };
    bool solve_counted(continuation &cont);
    std::vector<double> constraint_misses(const std::vector<int> &released, int balanced);
    bool carry_over(const std::vector<int> &released, continuation &cont);
    bool solve_for_fixed_amounts(const std::vector<int> &released, continuation &cont);
    int balance_by_amount(const std::vector<int> &released, const run_state &entered,
                          continuation &cont);
    void solute_coefficients_at(pt_rxn_DH *dh, double I) const;
    void prepare_iteration();
    bool report_no_equilibrium_state();
    bool report_no_equilibrium_state_after_run();
    QString limiting_law_without_state(bool wholeWater);
    QString limiting_law_answer(bool wholeWater);
    bool ionic_strength_exceeds_every_value();
    double apply_step(const std::vector<double> &dx, const std::vector<double> *lng);
    double settle_trace_species(const std::vector<double> &lng);
    void start_from_mass_action();
    double residual_outside_held() const;
    bool release_held(double rowTol);
    bool keep_going(const std::vector<double> &history) const;
    void finish_run();
    void report_nonconvergence(); ///< the messages of a run that used up its iterations
    void report_charge_balance_unmet();
    int balancing_sign(const pt_compset &set, bool basisDecides) const;
    void refuse(const QString &msg);
    static void clear_vector_upper_state();

    sim_data *sdata = nullptr; ///< the batch's configuration (not owned)
    one_water *water = nullptr; ///< the water speciated (not owned)
    sim_ctrl *simctrl = nullptr; ///< owned
    sim_model *simmodel = nullptr; ///< owned
    QStringList *errorMsgs = nullptr; ///< owned
    int csolvitmax = 0; ///< iteration limit
    double csolvcvg = 0; ///< convergence limit on the sum of |dx|
    double csolvcmin = 0; ///< concentration floor, molal
    double csolvcmax = 0; ///< highest concentration limit (not used)
    std::vector<double> chargeZ; ///< charge of each species
    int cbSetIdx = -1; ///< set replaced by the charge balance; -1 when off
    double cbShift = 0.0; ///< ln(anions / cations) the charge balance row asks for
    bool balanceShownUnmet = false; ///< the state shows the charge balance cannot be met
    qsizetype countFrom = -1; ///< first message of the iteration count's report, or -1
    qsizetype countTo = -1; ///< one past its last message
    std::vector<char> setFixedByGas; ///< per set: its swap is a gas at its set fugacity
    double alkTotal = 0.0; ///< alkalinity, eq/kg water
    std::vector<double> alkCoef; ///< alkalinity coefficient of each species
    int alkSetIdx = -1; ///< set replaced by the alkalinity; -1 when off
    pt_rxn_C *rxnC = nullptr; ///< owned: the state
    pt_rxn_DHref *rxnDHref = nullptr; ///< owned
    pt_numeric_mat *nummat = nullptr; ///< owned
    pt_water *simwater = nullptr; ///< owned
    pt_rxn_DH *lastDH = nullptr; ///< owned: coefficients of the last state
    mat_solver solver; ///< dense solver
    step_solver stepSolver = step_solver::reduced;
    double maxResidual = 0.0; ///< largest |row residual| of the last assembly
    double maxSetResidual = 0.0; ///< largest |residual| of the set rows of the last assembly

    sim_system *building = nullptr; ///< the system being prepared (owned by the caller)

    /// Frees a view without the records it links.
    struct view_deleter
    {
        void operator()(sim_data *v) const;
    };
    /// The batch without the reactions left out at the run's temperature; null when
    /// every reaction takes part (sdata then is the batch itself).
    std::unique_ptr<sim_data, view_deleter> view;
    QSet<QString> leftOutSpecies; ///< species formed by the reactions left out
    QStringList runNotes; ///< see notes()
    bool wholeWaterAnswered = false; ///< wholeWaterAnswer is worked out
    QString wholeWaterAnswer; ///< limiting_law_without_state(true) of this run

    // Newton iteration (see prepare_iteration).
    std::vector<double> lnUpper; ///< ln of the largest molality the water's amounts allow
    std::vector<char> held; ///< species held at the concentration floor in the last step
    int nHeld = 0; ///< number of species held in the last step
    mutable std::vector<char> heldChain; ///< held species and those formed from them
    std::vector<double> lnPrev; ///< ln molality before the last step
    bool rowsDirty = true; ///< rows hold more than the last assembly wrote

    // Elimination of the mass-action rows (the map itself is the system's).
    std::vector<double> redC; ///< nspecies: constant part of dx_s
    std::vector<double> slopeLnI, rowSlope, slopeStep; ///< nspecies: the coefficients' step
    std::vector<double> redRhs; ///< right-hand side of a reduced system solved again
    bool reducedSolved = false; ///< the last step was solved by the reduced system
    bool setColsReady = false; ///< the set columns below are found
    std::vector<int> setColStart; ///< set row k: its columns from setColStart[k] on
    std::vector<int> setCols; ///< species columns of the set rows
    mat_solver redSolver; ///< solver of the reduced system
    pt_numeric_mat *redMat = nullptr; ///< owned: the reduced system

    std::vector<double> groupSlopes; ///< d ln gamma / d ln I of each species group
};

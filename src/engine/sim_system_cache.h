#pragma once

#include <memory>

struct sim_data;
struct sim_system;

/// The chemical systems prepared by the last runs, each kept with a copy of the
/// batch content it was built from. A run of a batch whose content equals a kept
/// copy in every value the preparation reads (names, charges, compositions,
/// reactions, log K data) reuses that system; any change to the batch gives a new
/// one. Kept per thread; the systems are never changed once kept.
class sim_system_cache
{
public:
    /// The prepared system of a batch with exactly this content; null when none is kept.
    static std::shared_ptr<const sim_system> find(const sim_data *sd);
    /// Keeps `system` as the prepared form of sd's present content; the system used
    /// least recently makes room when `capacity` are kept.
    static void store(const sim_data *sd, std::shared_ptr<const sim_system> system);
    /// Forgets every kept system.
    static void clear();
    /// Number of systems kept.
    static int size();

    /// Most systems kept at once (a batch's system, and a few others a test or a
    /// sweep over temperatures moves between).
    static constexpr int capacity = 8;
};

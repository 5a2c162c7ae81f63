#pragma once

// Named return codes of the core, engine and database operations.
// Look-ups by name return lookup_absent instead.
namespace return_codes {

inline constexpr int success = 0; ///< the operation succeeded
inline constexpr int failed = 1; ///< a reader or solver step failed
inline constexpr int fileNotOpened = 2; ///< a configuration file cannot be opened
inline constexpr int dbNotOpened = 99; ///< a reference database cannot be opened
inline constexpr int dbTypeUnsupported = 901; ///< the database type cannot be loaded

// A configuration file lacks a section (or the section is empty).
inline constexpr int missingHeader = 1101; ///< "header"
inline constexpr int missingControl = 1201; ///< "control parameters"
inline constexpr int missingElements = 1301; ///< "elements"
inline constexpr int missingGases = 1401; ///< "gases"
inline constexpr int missingSolutes = 1501; ///< "solutes"
inline constexpr int missingReactions = 1601; ///< "reactions"
inline constexpr int missingRedox = 1701; ///< "redox"
inline constexpr int missingWaters = 1801; ///< "waters"

inline constexpr int lookup_absent = -9; ///< a look-up by name found nothing

} // namespace return_codes

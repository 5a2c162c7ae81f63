#pragma once

// Names of the settings groups, arrays and keys shared between the windows and
// the core, and the placeholder texts written for file fields not yet set.
// All are read and written through a default-constructed QSettings.
namespace settings_keys {

// Local login account.
inline constexpr char groupLogin[] = "LOGIN";
inline constexpr char keyUsername[] = "username"; ///< account user name (letters and digits)

// Configuration-file window.
inline constexpr char groupSpcn[] = "SPCN";
inline constexpr char keyWidth[] = "width"; ///< window width, pixels
inline constexpr char keyHeight[] = "height"; ///< window height, pixels

// Database types offered by the program.
inline constexpr char groupDefault[] = "DEFAULT";
inline constexpr char arrayDBTypes[] = "DBTypes"; ///< one entry per database type
inline constexpr char keyDBType[] = "aDBType"; ///< display name of a database type

// Reference and user database files, one entry per database type.
inline constexpr char groupDB[] = "DB";
inline constexpr char arrayFileDBTypes[] = "file_DBTypes";
inline constexpr char keyFile[] = "file"; ///< reference database file
inline constexpr char keyUser[] = "user"; ///< user database file
inline constexpr char placeholderDBRef[] = "reference database file not set";
inline constexpr char placeholderDBUser[] = "user database file not set";

// Database source parser: source and target file per database type.
inline constexpr char groupDBParser[] = "DBParser";
inline constexpr char arrayFileTypes[] = "file_types";
inline constexpr char keyFileSource[] = "file_source"; ///< data0 source file
inline constexpr char keyFileTarget[] = "file_target"; ///< SQLite file written
inline constexpr char keyGeometry[] = "geometry"; ///< saved window geometry
inline constexpr char placeholderParserSource[] = "source database file not set";
inline constexpr char placeholderParserTarget[] = "output database file not set";

// Folder of the last configuration file.
inline constexpr char groupJsdbPath[] = "jsdbPath";
inline constexpr char keyPrevDir[] = "prevDir";

// Main window geometry and state.
inline constexpr char groupWindowMain[] = "WINDOW_MAIN";

// First-run record.
inline constexpr char groupFirstRun[] = "VEK7.EQ";
inline constexpr char keyProductType[] = "vek7type"; ///< product tag, "vek7.eq" once installed
inline constexpr char valueProductType[] = "vek7.eq";
inline constexpr char keyVersionVek7[] = "versionVek7";
inline constexpr char keyTagCompilation[] = "tagCompilation";
inline constexpr char keyVersionDB[] = "versionDB";
inline constexpr char keyFormatJSDB[] = "formatJSDB";

} // namespace settings_keys

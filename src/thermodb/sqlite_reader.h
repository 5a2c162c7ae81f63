#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

/// A reference database file opened read-only through the SQLite library
/// itself, for reading whole tables quickly.
///
/// Values come out as Qt's SQLite driver would hand them over and QVariant
/// would convert them (an integer column holding a real is rounded, a text
/// read as a number is parsed, NULL reads as 0 or a null text), so a table
/// reads the same through either path; only the per-row conversions into
/// QVariant and UTF-16 are left out.
class sqlite_reader
{
public:
    /// Opens `path` read-only; never creates a file. See isOpen().
    explicit sqlite_reader(const QString &path);
    ~sqlite_reader();
    sqlite_reader(const sqlite_reader &) = delete;
    sqlite_reader &operator=(const sqlite_reader &) = delete;

    /// True when the file could be opened (its content is checked by the first query).
    bool isOpen() const { return db != nullptr; }
    /// The library's text for the last failure on this file.
    QString errorText() const;
    /// Runs a statement that returns no rows (a PRAGMA); false on failure.
    bool exec(const char *sql);
    /// Names of the tables of the file; false in `ok` when the file cannot be read.
    QStringList tableNames(bool *ok);
    /// Names of the columns of `table`, in their order; empty when there is no such table.
    QStringList columnNames(const QString &table);

    /// The rows of one SELECT statement, read forward only.
    class rows
    {
    public:
        /// Prepares `sql` on `file`; run it with exec().
        rows(sqlite_reader &file, const QString &sql);
        ~rows();
        rows(const rows &) = delete;
        rows &operator=(const rows &) = delete;

        /// Binds text to the 1-based parameter `i` (before exec()).
        void bind(int i, const QString &text);
        /// Runs the statement up to its first row: false when it cannot be
        /// prepared or run (see errorText()).
        bool exec();
        /// Moves to the next row (the first after exec()); false after the last
        /// one or when reading stops on an error.
        bool next();
        /// The library's text for the failure of this statement.
        QString errorText() const { return error; }

        /// Index of the result column `name` (compared ignoring ASCII case), or -1.
        int column(const char *name) const;
        /// Value of column `i` of the current row as an int; 0 for i < 0 or NULL.
        int toInt(int i) const;
        /// Value of column `i` as a double; 0 for i < 0 or NULL.
        double toDouble(int i) const;
        /// Value of column `i` as text; a null text for i < 0 or NULL.
        QString toText(int i) const;
        /// True when column `i` holds text (not NULL, not a number).
        bool isText(int i) const;
        /// When column `i` holds text, its UTF-8 bytes in `bytes` (valid until
        /// the row changes or the column is read as another type) and true.
        bool textBytes(int i, std::string_view *bytes) const;

    private:
        sqlite_reader &file;
        sqlite3_stmt *stmt = nullptr;
        QString error;
        bool pending = false; ///< exec() read a row that next() has not yet handed out
        bool done = false; ///< no further row
        int type(int i) const;
        bool step();
    };

private:
    sqlite3 *db = nullptr;
    QString openError; ///< why opening failed, when it did
};

#pragma once

#include <QString>

#include <initializer_list>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

/// A new SQLite file filled through the SQLite library directly, for writing
/// tens of thousands of rows quickly.
///
/// Values are stored as Qt's SQLite driver stores bound values: an int as an
/// integer, a double as a real, a text as text and a null text as NULL, so the
/// file holds exactly what a QSqlQuery with bound values would have written.
class sqlite_writer
{
public:
    /// Opens (creating it when needed) the file at `path` for writing. See isOpen().
    explicit sqlite_writer(const QString &path);
    ~sqlite_writer();
    sqlite_writer(const sqlite_writer &) = delete;
    sqlite_writer &operator=(const sqlite_writer &) = delete;

    /// True when the file could be opened.
    bool isOpen() const { return db != nullptr; }
    /// The library's text for the last failure.
    QString errorText() const;
    /// Runs a statement without rows; false on failure (see errorText()).
    bool exec(const QString &sql);

    /// One value of a row: an int, a double, or a text (a null text is NULL).
    class value
    {
    public:
        value(int v)
            : kind(k_int)
            , i(v)
        { }
        value(double v)
            : kind(k_double)
            , d(v)
        { }
        value(const QString &v)
            : kind(v.isNull() ? k_null : k_text)
            , s(v)
        { }

    private:
        friend class sqlite_writer;
        enum { k_int, k_double, k_text, k_null } kind;
        int i = 0;
        double d = 0.0;
        QString s; ///< shared with the caller's text, which may then go
    };

    /// A prepared statement run once per row with new values.
    class statement
    {
    public:
        /// Prepares `sql` (with one '?' per value) on `file`; see isValid().
        statement(sqlite_writer &file, const QString &sql);
        ~statement();
        statement(const statement &) = delete;
        statement &operator=(const statement &) = delete;

        /// True when the statement could be prepared.
        bool isValid() const { return stmt != nullptr; }
        /// Binds `values` to the parameters in order and runs the statement;
        /// false on failure (see errorText()).
        bool run(std::initializer_list<value> values) { return run(values.begin(), values.size()); }
        /// The same for `n` values from `values`.
        bool run(const value *values, size_t n);
        /// The library's text for the last failure of this statement.
        QString errorText() const { return error; }

    private:
        sqlite_writer &file;
        sqlite3_stmt *stmt = nullptr;
        QString error;
        std::string latin; ///< reused buffer for texts of ASCII characters
    };

private:
    sqlite3 *db = nullptr;
    QString openError;
};

#include "sqlite_reader.h"

#include <QVariant>

#include <sqlite3.h>

namespace {

bool sameIgnoringAsciiCase(const char *a, const char *b)
{
    for (;; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
        if (x == '\0')
            return true;
    }
}

bool isAscii(const unsigned char *p, int n)
{
    for (int k = 0; k < n; ++k)
        if (p[k] >= 0x80)
            return false;
    return true;
}

QString quotedName(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

} // namespace

sqlite_reader::sqlite_reader(const QString &path)
{
    sqlite3 *handle = nullptr;
    // One thread reads through the connection: no locking on every column read.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        db = handle;
        return;
    }
    openError = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                       : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close(handle);
}

sqlite_reader::~sqlite_reader()
{
    sqlite3_close(db);
}

QString sqlite_reader::errorText() const
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : openError;
}

bool sqlite_reader::exec(const char *sql)
{
    return db && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

QStringList sqlite_reader::tableNames(bool *ok)
{
    QStringList names;
    rows q(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    *ok = q.exec();
    while (*ok && q.next())
        names << q.toText(0);
    return names;
}

QStringList sqlite_reader::columnNames(const QString &table)
{
    QStringList names;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = QStringLiteral("SELECT * FROM %1").arg(quotedName(table)).toUtf8();
    if (db
        && sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK) {
        const int n = sqlite3_column_count(stmt);
        for (int i = 0; i < n; ++i)
            names << QString::fromUtf8(sqlite3_column_name(stmt, i));
    }
    sqlite3_finalize(stmt);
    return names;
}

sqlite_reader::rows::rows(sqlite_reader &file, const QString &sql)
    : file(file)
{
    const QByteArray text = sql.toUtf8();
    if (!file.db) {
        error = file.openError;
        return;
    }
    if (sqlite3_prepare_v2(file.db, text.constData(), int(text.size()), &stmt, nullptr)
        != SQLITE_OK) {
        error = file.errorText();
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
}

sqlite_reader::rows::~rows()
{
    sqlite3_finalize(stmt);
}

void sqlite_reader::rows::bind(int i, const QString &text)
{
    if (!stmt)
        return;
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(stmt, i, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

bool sqlite_reader::rows::step()
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    done = true;
    if (rc != SQLITE_DONE)
        error = file.errorText();
    return false;
}

bool sqlite_reader::rows::exec()
{
    if (!stmt)
        return false;
    pending = step();
    // Like Qt's driver: a statement that fails on its first row has failed.
    return pending || error.isEmpty();
}

bool sqlite_reader::rows::next()
{
    if (pending) {
        pending = false;
        return true;
    }
    return stmt && !done && step();
}

int sqlite_reader::rows::column(const char *name) const
{
    const int n = stmt ? sqlite3_column_count(stmt) : 0;
    for (int i = 0; i < n; ++i)
        if (sameIgnoringAsciiCase(sqlite3_column_name(stmt, i), name))
            return i;
    return -1;
}

// Values are read through the column's sqlite3_value: the sqlite3_column_*
// calls would each check the statement and its error state again.

int sqlite_reader::rows::type(int i) const
{
    return i < 0 ? SQLITE_NULL : sqlite3_value_type(sqlite3_column_value(stmt, i));
}

bool sqlite_reader::rows::isText(int i) const
{
    return type(i) == SQLITE_TEXT;
}

bool sqlite_reader::rows::textBytes(int i, std::string_view *bytes) const
{
    if (i < 0)
        return false;
    sqlite3_value *v = sqlite3_column_value(stmt, i);
    if (sqlite3_value_type(v) != SQLITE_TEXT)
        return false;
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    *bytes = p ? std::string_view(p, size_t(sqlite3_value_bytes(v))) : std::string_view();
    return true;
}

int sqlite_reader::rows::toInt(int i) const
{
    if (i < 0)
        return 0;
    sqlite3_value *v = sqlite3_column_value(stmt, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return int(sqlite3_value_int64(v));
    case SQLITE_NULL:
        return 0;
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v)).toInt();
    default:
        return QVariant(toText(i)).toInt();
    }
}

double sqlite_reader::rows::toDouble(int i) const
{
    if (i < 0)
        return 0.0;
    sqlite3_value *v = sqlite3_column_value(stmt, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_INTEGER:
        return double(sqlite3_value_int64(v));
    case SQLITE_NULL:
        return 0.0;
    default:
        return QVariant(toText(i)).toDouble();
    }
}

QString sqlite_reader::rows::toText(int i) const
{
    if (i < 0)
        return QString();
    sqlite3_value *v = sqlite3_column_value(stmt, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_value_int64(v))).toString();
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v)).toString();
    case SQLITE_BLOB: {
        const auto *p = static_cast<const char *>(sqlite3_value_blob(v));
        return QVariant(QByteArray(p, sqlite3_value_bytes(v))).toString();
    }
    default:
        break;
    }
    const auto *p = sqlite3_value_text(v);
    const int n = sqlite3_value_bytes(v);
    if (p && isAscii(p, n))
        return QString::fromLatin1(reinterpret_cast<const char *>(p), n);
    // Other text is converted by the library, as Qt's driver has it converted.
    const auto *u = static_cast<const QChar *>(sqlite3_value_text16(v));
    return QString(u, sqlite3_value_bytes16(v) / int(sizeof(QChar)));
}

#include "sqlite_writer.h"

#include <sqlite3.h>

sqlite_writer::sqlite_writer(const QString &path)
{
    sqlite3 *handle = nullptr;
    // One thread writes through the connection: no locking on every call.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc == SQLITE_OK) {
        db = handle;
        return;
    }
    openError = handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                       : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close(handle);
}

sqlite_writer::~sqlite_writer()
{
    sqlite3_close(db);
}

QString sqlite_writer::errorText() const
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : openError;
}

bool sqlite_writer::exec(const QString &sql)
{
    return db && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite_writer::statement::statement(sqlite_writer &file, const QString &sql)
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

sqlite_writer::statement::~statement()
{
    sqlite3_finalize(stmt);
}

bool sqlite_writer::statement::run(const value *values, size_t n)
{
    if (!stmt) {
        if (error.isEmpty())
            error = QStringLiteral("statement not prepared");
        return false;
    }
    int at = 0;
    int rc = SQLITE_OK;
    for (const value *v = values; v != values + n; ++v) {
        ++at;
        switch (v->kind) {
        case value::k_int:
            rc = sqlite3_bind_int(stmt, at, v->i);
            break;
        case value::k_double:
            rc = sqlite3_bind_double(stmt, at, v->d);
            break;
        case value::k_null:
            rc = sqlite3_bind_null(stmt, at);
            break;
        case value::k_text: {
            const QString &s = v->s;
            bool ascii = true;
            for (QChar c : s)
                ascii = ascii && c.unicode() < 0x80;
            if (ascii) {
                latin.assign(size_t(s.size()), '\0');
                for (qsizetype k = 0; k < s.size(); ++k)
                    latin[size_t(k)] = char(s[k].unicode());
                rc = sqlite3_bind_text(stmt, at, latin.data(), int(latin.size()), SQLITE_TRANSIENT);
            } else {
                // Other text goes in as UTF-16, converted by the library as for Qt's driver.
                rc = sqlite3_bind_text16(stmt, at, s.utf16(), int(s.size() * sizeof(QChar)),
                                         SQLITE_TRANSIENT);
            }
            break;
        }
        }
        if (rc != SQLITE_OK)
            break;
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE || rc == SQLITE_ROW)
            rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK)
        error = file.errorText();
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return rc == SQLITE_OK;
}

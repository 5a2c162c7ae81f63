#include "login_account.h"

#include <QCryptographicHash>
#include <QSettings>

namespace login_account {

QString digest(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool isDigest(const QString &text)
{
    if (text.size() != 64)
        return false;
    for (QChar c : text) {
        const char a = c.toLatin1();
        if (!((a >= '0' && a <= '9') || (a >= 'a' && a <= 'f') || (a >= 'A' && a <= 'F')))
            return false;
    }
    return true;
}

bool isAllowedChar(QChar c)
{
    return c.isDigit() || c.isLetter();
}

bool isAlphanumeric(const QString &text)
{
    for (QChar c : text) {
        if (!isAllowedChar(c))
            return false;
    }
    return true;
}

bool isValidPassword(const QString &text)
{
    return text.size() >= passwordMinLength && isAlphanumeric(text);
}

bool digestsMatch(const QString &stored, const QString &entered)
{
    return isDigest(stored) && stored == entered;
}

bool answersMatch(const QString &stored, const QString &typed)
{
    return !stored.isEmpty() && !typed.isEmpty() && stored.toLower() == typed.toLower();
}

QHash<QString, QVariant> values(const QSettings &settings)
{
    QHash<QString, QVariant> all;
    for (const QString &key : settings.allKeys())
        all.insert(key, settings.value(key));
    return all;
}

bool commit(QSettings &settings, const QHash<QString, QVariant> &before)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    // A refused value waits in memory and would reach the store with the next
    // setting the program writes, after the user was told it was not saved.
    for (const QString &key : settings.allKeys())
        if (!before.contains(key))
            settings.remove(key);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        settings.setValue(it.key(), it.value());
    return false;
}

} // namespace login_account

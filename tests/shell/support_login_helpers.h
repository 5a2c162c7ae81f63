#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>

// Helpers the login, account and control-parameter tests share: the settings
// of an account, answering a message box, and a settings store that refuses writes.

/// Sets the organisation and application names every window's settings use.
void loginTestIdentity();
/// Lower-case hexadecimal SHA-256 of the UTF-8 bytes of `text`, as the account stores it.
QString loginDigest(const QString &text);
/// Stores an account in group "LOGIN" (password given in clear, stored as its digest).
void storeLoginAccount(bool enabled, const QString &name, const QString &password,
                       const QString &clue = "blue sky", const QString &question = "Colour?",
                       const QString &answer = "Blue");
/// A value of group "LOGIN" as a fresh QSettings reads it.
QVariant loginValue(const QString &key);
/// Clicks the button of that text on the next modal message box; the box's
/// text is kept in `seenText` when given. The box is looked for `tries` more
/// times, 10 ms apart, after the first look.
void answerNextMessageBox(const QString &buttonText, QString *seenText = nullptr, int tries = 200);
/// Makes the settings file unwritable (a folder stands in its place) or puts it back.
void breakSettingsStore(bool broken);
/// The child widget of that object name and type, or null.
template<typename T>
T *loginChild(QWidget *w, const char *name)
{
    return w ? w->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class QSettings;

// The local login account shared by the login page and the account dialog:
// its settings keys, the password digest and the character rule.
//
// The account keeps only the SHA-256 digest of a password, unsalted. It keeps
// casual users out of the program on a shared desktop; it does not protect the
// user's files, which stay readable to anyone who can read the disk.
namespace login_account {

inline constexpr char groupLogin[] = "LOGIN"; ///< settings group of the account
inline constexpr char keyLoginEnabled[] = "loginEnabled"; ///< bool: login required
inline constexpr char keyUsername[] = "username"; ///< text: the account's user name
inline constexpr char keyPassword[] = "password"; ///< text: digest of the password
inline constexpr char keyPasswordClue[] = "passwordClue"; ///< text: hint after failures
inline constexpr char keySecurityQ[] = "securityQ"; ///< text: the security question
inline constexpr char keySecurityA[] = "securityA"; ///< text: the answer, as typed
inline constexpr char keyLoginLock[] = "loginLock"; ///< bool: carried unchanged
inline constexpr char keySaveInfo[] = "saveinfo"; ///< bool: pre-fill the login fields
inline constexpr char keyGeometry[] = "geometry"; ///< byte array: saved window geometry

/// Shortest password the rule accepts, characters.
inline constexpr int passwordMinLength = 8;

/// Lower-case hexadecimal SHA-256 of the UTF-8 bytes of `text` (64 characters).
QString digest(const QString &text);
/// True when `text` is 64 hexadecimal digits, the form of a stored digest.
bool isDigest(const QString &text);
/// True for a character a user name or password may hold: a Unicode letter or decimal digit.
bool isAllowedChar(QChar c);
/// True when every character of `text` is allowed (an empty text too).
bool isAlphanumeric(const QString &text);
/// True when `text` is a password the rule accepts: 8 or more allowed characters.
bool isValidPassword(const QString &text);
/// True when the stored digest is a digest at all and equals the entered one, so an
/// empty or damaged stored value never lets an untouched field through.
bool digestsMatch(const QString &stored, const QString &entered);
/// True when both answers are non-empty and equal ignoring case.
bool answersMatch(const QString &stored, const QString &typed);
/// Every value the store holds, taken before a write so that `commit` can put it back.
QHash<QString, QVariant> values(const QSettings &settings);
/// Writes pending changes of `settings` to the store; true when the store took them.
/// When it refuses them, the values `before` the write are put back.
bool commit(QSettings &settings, const QHash<QString, QVariant> &before);

} // namespace login_account

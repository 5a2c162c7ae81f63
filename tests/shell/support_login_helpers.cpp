#include "support_login_helpers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

void loginTestIdentity()
{
    QCoreApplication::setOrganizationName("Tarlow");
    QCoreApplication::setApplicationName("vek7");
}

QString loginDigest(const QString &text)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex());
}

void storeLoginAccount(bool enabled, const QString &name, const QString &password,
                       const QString &clue, const QString &question, const QString &answer)
{
    QSettings s;
    s.beginGroup("LOGIN");
    s.setValue("loginEnabled", enabled);
    s.setValue("username", name);
    s.setValue(
        "password",
        password.isEmpty()
            ? QString()
            : QString::fromLatin1(
                QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256).toHex()));
    s.setValue("passwordClue", clue);
    s.setValue("securityQ", question);
    s.setValue("securityA", answer);
    s.endGroup();
    s.sync();
}

QVariant loginValue(const QString &key)
{
    QSettings s;
    return s.value("LOGIN/" + key);
}

namespace {
void answerWhenShown(const QString &buttonText, QString *seenText, int triesLeft)
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box) {
        if (triesLeft > 0)
            QTimer::singleShot(10, [=] { answerWhenShown(buttonText, seenText, triesLeft - 1); });
        return;
    }
    if (seenText)
        *seenText = box->text();
    for (QAbstractButton *b : box->buttons()) {
        if (b->text() == buttonText) {
            b->click();
            return;
        }
    }
    box->reject();
}
} // namespace

void answerNextMessageBox(const QString &buttonText, QString *seenText, int tries)
{
    QTimer::singleShot(0, [=] { answerWhenShown(buttonText, seenText, tries); });
}

void breakSettingsStore(bool broken)
{
    const QString path = QSettings().fileName();
    QSettings().sync();
    if (broken) {
        QFile::remove(path);
        QDir().mkpath(path);
    } else {
        QDir(path).removeRecursively();
    }
}

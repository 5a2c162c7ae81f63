#include "dbmanager.h"
#include "ui_dbmanager.h"

#include "message_pane.h"
#include "screen_info.h"
#include "settings_keys.h"

#include <QAbstractItemView>
#include <QAtomicInt>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

const char defaultReferenceResource[] = ":/thermo/db-EQ3v1996.db";
const char defaultReferenceName[] = "db-EQ3v1996.db";
const char defaultUserName[] = "db_UserLocal.db";
const char placeholderRef[] = "Reference database file not set";
const char placeholderUser[] = "User database file not set";

QString entryOr(const QList<QString> &list, int i, const QString &fallback = QString())
{
    return i >= 0 && i < list.size() ? list.at(i) : fallback;
}

} // namespace

dbmanager::dbmanager(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::dbmanager)
    , scrInfo(new screen_info)
{
    static QAtomicInt counter;
    connName = QStringLiteral("vek7_dbmanager_%1").arg(counter.fetchAndAddRelaxed(1));

    ui->setupUi(this);
    ui->tabWidget->setCurrentIndex(0);
    for (int i = 1; i <= 3; ++i)
        ui->tabWidget->setTabEnabled(i, false);

    settings_read();
    // Adding the first name makes it current, which runs the type change for index 0.
    ui->comboBox_DBTypes->clear();
    ui->comboBox_DBTypes->addItems(list_DBTypes);
    idx_DBType = 0;
    ui->comboBox_DBTypes->setCurrentIndex(0);
    set_DBRef_fields(entryOr(file_DBRef, 0, QLatin1String(placeholderRef)));
    set_DBUser_fields(entryOr(file_DBUser, 0, QLatin1String(placeholderUser)));
}

dbmanager::~dbmanager()
{
    closeConnection();
    delete scrInfo;
    delete ui;
}

QString dbmanager::appFolder() const
{
    return appFolderPath.isEmpty() ? gl.path_user_app() : appFolderPath;
}

void dbmanager::set_appFolder(const QString &folder)
{
    appFolderPath = folder;
}

QStringList dbmanager::messageLines() const
{
    return ui->textEdit_Messages->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString dbmanager::infoText() const
{
    return ui->textEdit_DBInfo->toPlainText();
}

void dbmanager::message(const QString &line)
{
    message_pane::append(ui->textEdit_Messages, line);
}

void dbmanager::closeConnection()
{
    if (!QSqlDatabase::contains(connName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connName);
}

// ---- settings -------------------------------------------------------------

void dbmanager::settings_read()
{
    QSettings settings;
    list_DBTypes.clear();
    settings.beginGroup(settings_keys::groupDefault);
    const int n = settings.beginReadArray(settings_keys::arrayDBTypes);
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        list_DBTypes.append(settings.value(settings_keys::keyDBType).toString());
    }
    settings.endArray();
    settings.endGroup();
    if (list_DBTypes.isEmpty()) {
        // Nothing stored yet: offer the program's own types rather than none.
        list_DBTypes = gl.dbtypes_list();
        message(QStringLiteral("DM ## no database types found in the settings; the program's "
                               "types are shown."));
    }

    settings.beginGroup(settings_keys::groupDB);
    restoreGeometry(settings.value(settings_keys::keyGeometry).toByteArray());
    idx_DBType = settings.value(QStringLiteral("dbtype_index")).toInt();
    settings.endGroup();
    scrInfo->scrPosition_center(this);
    checkTypeIndex();
    readFileLists();
}

void dbmanager::readFileLists()
{
    QSettings settings;
    settings.beginGroup(settings_keys::groupDB);
    const int n = list_DBTypes.size();
    file_DBRef.clear();
    file_DBUser.clear();
    const int stored = settings.beginReadArray(settings_keys::arrayFileDBTypes);
    if (stored == n) {
        for (int i = 0; i < n; ++i) {
            settings.setArrayIndex(i);
            file_DBRef.append(settings.value(settings_keys::keyFile).toString());
            file_DBUser.append(settings.value(settings_keys::keyUser).toString());
        }
    }
    settings.endArray();
    settings.endGroup();
    if (stored != n) {
        for (int i = 0; i < n; ++i) {
            file_DBRef.append(QLatin1String(placeholderRef));
            file_DBUser.append(QLatin1String(placeholderUser));
        }
    }
}

void dbmanager::checkTypeIndex()
{
    if (idx_DBType < 0 || idx_DBType >= list_DBTypes.size()) {
        message(QStringLiteral("DM ## stored database type index [ %1 ] is not a known type; "
                               "type 0 is used.")
                    .arg(idx_DBType));
        idx_DBType = 0;
    }
}

void dbmanager::settings_write()
{
    QSettings settings;
    settings.beginGroup(settings_keys::groupDB);
    settings.setValue(settings_keys::keyGeometry, saveGeometry());
    settings.setValue(QStringLiteral("dbtype_index"), idx_DBType);
    settings.beginWriteArray(settings_keys::arrayFileDBTypes, list_DBTypes.size());
    for (int i = 0; i < list_DBTypes.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(settings_keys::keyFile, entryOr(file_DBRef, i, placeholderRef));
        settings.setValue(settings_keys::keyUser, entryOr(file_DBUser, i, placeholderUser));
    }
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

bool dbmanager::verify_databaseTypeSet()
{
    {
        QSettings settings;
        idx_DBType
            = settings.value(QStringLiteral("%1/dbtype_index").arg(settings_keys::groupDB)).toInt();
    }
    readFileLists();
    if (idx_DBType < 0 || idx_DBType >= file_DBRef.size())
        return false;
    return QFileInfo(file_DBRef.at(idx_DBType)).isFile();
}

void dbmanager::save_currentSettings()
{
    settings_write();
    emit signal_dbmgr_updated();
}

// ---- files ----------------------------------------------------------------

bool dbmanager::check_status_DB(const QString &path)
{
    closeConnection();
    bool ok = false;
    if (QFileInfo(path).isFile()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connName);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        // SQLite opens any file lazily; reading its schema tells a database apart.
        ok = db.open() && QSqlQuery(db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    }
    if (ok) {
        message(QStringLiteral("DM > database %1 opened successfully").arg(path));
        return true;
    }
    message(QStringLiteral("DM > cannot open database %1").arg(path));
    closeConnection();
    return false;
}

void dbmanager::set_DBRef_fields(const QString &path)
{
    const QFileInfo info(path);
    ui->lineEdit_DBRef->setText(info.fileName());
    ui->comboBox_DBRef_path->clear();
    ui->comboBox_DBRef_path->addItems({QStringLiteral("Path"), info.path()});
    // The folder can be long: its drop-down list is as wide as the combo needs, plus a margin.
    ui->comboBox_DBRef_path->view()->setMinimumWidth(
        ui->comboBox_DBRef_path->minimumSizeHint().width() + 10);
}

void dbmanager::set_DBUser_fields(const QString &path)
{
    const QFileInfo info(path);
    ui->lineEdit_DBUser->setText(info.fileName());
    ui->comboBox_DBUser_path->clear();
    ui->comboBox_DBUser_path->addItems({QStringLiteral("Path"), info.path()});
    // The folder can be long: its drop-down list is as wide as the combo needs, plus a margin.
    ui->comboBox_DBUser_path->view()->setMinimumWidth(
        ui->comboBox_DBUser_path->minimumSizeHint().width() + 10);
}

void dbmanager::getInfo_DBRef()
{
    QStringList lines = {QStringLiteral("<b>REFERENCE DATABASE</b>"), QString()};
    const QList<QPair<QString, QString>> items = {
        {QStringLiteral("source"), QStringLiteral("<b>source :</b>")},
        {QStringLiteral("version"), QStringLiteral("<b>version :</b>")},
        {QStringLiteral("format"), QStringLiteral("<b>format :</b>")},
        {QStringLiteral("time"), QStringLiteral("<b>date/time produced :</b>")},
        {QStringLiteral("comment"), QStringLiteral("<b>note/comment :</b>")},
    };
    {
        QSqlDatabase db = QSqlDatabase::database(connName, false);
        for (const auto &item : items) {
            lines << item.second;
            QSqlQuery q(db);
            // The column names are fixed texts above.
            if (db.isOpen() && q.exec(QStringLiteral("SELECT %1 FROM INFO").arg(item.first))
                && q.next())
                lines << q.value(0).toString().toHtmlEscaped();
            else
                lines << QString();
        }
    }
    ui->textEdit_DBInfo->setHtml(lines.join(QStringLiteral("<br>")));
}

void dbmanager::getInfo_DBUser()
{
    ui->textEdit_DBInfo->setHtml(
        QStringLiteral("<b>USER DATABASE</b><br><br>Existing user database file opened"));
}

bool dbmanager::initialize_userdb(const QString &path)
{
    const QString date = QDateTime::currentDateTime().toString(Qt::TextDate);
    const QString conn = connName + QStringLiteral("_init");
    bool ok = false;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            ok = q.exec(QStringLiteral("DROP TABLE IF EXISTS USERINFO"))
                && q.exec(QStringLiteral("CREATE TABLE USERINFO (id int reference key, name "
                                         "char(30), date char(40), comment text)"));
            if (ok) {
                q.prepare(QStringLiteral(
                    "INSERT INTO USERINFO (id, name, date, comment) VALUES (?, ?, ?, ?)"));
                q.addBindValue(1);
                q.addBindValue(QStringLiteral("xqv"));
                q.addBindValue(date);
                q.addBindValue(QStringLiteral("new user file"));
                ok = q.exec();
            }
            if (!ok)
                error = q.lastError().text();
        } else {
            error = db.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    if (!ok) {
        message(QStringLiteral("DM ## cannot initialize user database %1: %2").arg(path, error));
        return false;
    }
    ui->textEdit_DBInfo->setHtml(
        QStringLiteral("<b>USER DATABASE</b><br><br>Initialized a user database file"));
    return true;
}

QString dbmanager::installedVersion(const QString &path)
{
    QString version;
    const QString conn = connName + QStringLiteral("_version");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT version FROM INFO")))
                while (q.next())
                    version = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return version;
}

QString dbmanager::backupName(const QString &path)
{
    QString name = path + QStringLiteral(".old");
    for (int i = 1; QFileInfo::exists(name); ++i)
        name = path + QStringLiteral(".old%1").arg(i);
    return name;
}

bool dbmanager::set_DBDefault_locations()
{
    const QString folder = appFolder() + QStringLiteral("/DBSET/");
    qDebug() << "DM: gl.path_user_app : " << appFolder();
    const QString refPath = folder + QLatin1String(defaultReferenceName);
    const QString userPath = folder + QLatin1String(defaultUserName);

    if (!QFileInfo(folder).isDir()) {
        message(QStringLiteral("# creating %1").arg(folder));
        if (!QDir().mkpath(folder)) {
            message(QStringLiteral("DM ## cannot create the folder %1; default database files "
                                   "not installed.")
                        .arg(folder));
            return false;
        }
    }

    message(QStringLiteral("# copying resource file to DBSET"));
    if (QFileInfo::exists(refPath)) {
        // A file of another version is kept beside the new one, never overwritten.
        const QString found = installedVersion(refPath);
        if (found != gl.version_database()) {
            const QString kept = backupName(refPath);
            if (!QFile::rename(refPath, kept)) {
                message(QStringLiteral("DM ## cannot move aside %1 (version \"%2\"); default "
                                       "database not installed.")
                            .arg(refPath, found));
                return false;
            }
            message(QStringLiteral("DM > installed database version \"%1\" replaced; the old "
                                   "file is kept as %2")
                        .arg(found, kept));
        }
    }
    if (!QFileInfo::exists(refPath)) {
        QFile source {QString::fromLatin1(defaultReferenceResource)};
        const qint64 expected = source.size();
        const bool copied = source.copy(refPath);
        if (!copied || QFileInfo(refPath).size() != expected || expected <= 0) {
            message(QStringLiteral("DM ## cannot copy the default reference database to %1: %2")
                        .arg(refPath,
                             copied ? QStringLiteral("incomplete copy") : source.errorString()));
            if (copied)
                QFile::remove(refPath);
            return false;
        }
        // A copy of a compiled-in file is read-only; the user may replace it later.
        QFile::setPermissions(refPath,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }

    scrInfo->platformInfo();

    if (!QFileInfo::exists(userPath))
        initialize_userdb(userPath);
    const bool refOpen = check_status_DB(refPath);
    check_status_DB(userPath);
    if (!refOpen) {
        message(QStringLiteral("DM ## the default reference database %1 cannot be opened.")
                    .arg(refPath));
        return false;
    }

    idx_DBType = 0;
    set_DBRef_fields(refPath);
    set_DBUser_fields(userPath);
    rejectedRef.clear();
    rejectedUser.clear();
    if (file_DBRef.isEmpty())
        file_DBRef.append(refPath);
    if (file_DBUser.isEmpty())
        file_DBUser.append(userPath);
    file_DBRef[0] = refPath;
    file_DBUser[0] = userPath;
    return true;
}

bool dbmanager::set_DBDefault_locations_extCall()
{
    const bool ok = set_DBDefault_locations();
    settings_write();
    emit signal_dbmgr_updated();
    return ok;
}

// ---- slots ----------------------------------------------------------------

void dbmanager::on_comboBox_DBTypes_currentIndexChanged(int index)
{
    if (index < 0 || index >= list_DBTypes.size())
        return;
    set_DBRef_fields(entryOr(file_DBRef, index));
    set_DBUser_fields(entryOr(file_DBUser, index));
    rejectedRef.clear();
    rejectedUser.clear();
    idx_DBType = index;
    message(QStringLiteral("DM>> Data type changed to [ %1 ]").arg(index));

    const QString ref = entryOr(file_DBRef, index);
    if (QFileInfo(ref).isFile()) {
        if (check_status_DB(ref)) {
            message(QStringLiteral("DM > reference DB opened successfully"));
            getInfo_DBRef();
        } else {
            message(QStringLiteral("DM > cannot open reference DB"));
        }
    }
    const QString user = entryOr(file_DBUser, index);
    if (QFileInfo(user).isFile()) {
        if (check_status_DB(user)) {
            message(QStringLiteral("DM > user DB opened successfully"));
            getInfo_DBUser();
        } else {
            message(QStringLiteral("DM > cannot open user local DB"));
        }
    }
}

void dbmanager::on_lineEdit_DBRef_returnPressed() { }

void dbmanager::on_lineEdit_DBUser_returnPressed() { }

void dbmanager::on_comboBox_DBRef_path_activated(int) { }

void dbmanager::on_comboBox_DBUser_path_activated(int) { }

void dbmanager::on_pushButton_DBDefault_clicked()
{
    set_DBDefault_locations();
}

void dbmanager::on_pushButton_DBRef_Select_clicked()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral(".db"), gl.path_user_home(), QStringLiteral("All Files (*.db)"));
    if (file.isEmpty()) {
        QMessageBox::critical(this, QStringLiteral("Database Manager"),
                              QStringLiteral("Selected file is not a database file"));
        return;
    }
    set_DBRef_fields(file);
    message(QStringLiteral("DM>> reference DB file located [ %1 ]").arg(file));
    rejectedRef = file;
    if (check_status_DB(file) && idx_DBType >= 0 && idx_DBType < file_DBRef.size()) {
        file_DBRef[idx_DBType] = file;
        rejectedRef.clear();
        getInfo_DBRef();
    }
}

void dbmanager::on_pushButton_DBUser_Select_clicked()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral(".db"), gl.path_user_home(), QStringLiteral("All Files (*.db)"));
    if (file.isEmpty()) {
        QMessageBox::critical(this, QStringLiteral("Database Manager"),
                              QStringLiteral("Selected user database file does not exist"));
        return;
    }
    set_DBUser_fields(file);
    message(QStringLiteral("DM>> DB file located [ %1 ]").arg(file));
    rejectedUser = file;
    if (check_status_DB(file) && idx_DBType >= 0 && idx_DBType < file_DBUser.size()) {
        file_DBUser[idx_DBType] = file;
        rejectedUser.clear();
        getInfo_DBUser();
    }
}

void dbmanager::on_pushButton_DBUser_New_clicked()
{
    const QString file = QFileDialog::getSaveFileName(this, QString(), gl.path_user_home(),
                                                      ui->lineEdit_DBUser->text());
    if (file.isEmpty() || idx_DBType < 0 || idx_DBType >= file_DBUser.size())
        return;
    if (QFileInfo::exists(file)) {
        message(QStringLiteral("DM>> New DB file opened [ %1 ]").arg(file));
        if (initialize_userdb(file)) {
            ui->lineEdit_DBUser->setText(file);
            file_DBUser[idx_DBType] = file;
        }
        return;
    }
    message(QStringLiteral("DM>> DB file located [ %1 ]").arg(file));
    closeConnection();
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connName);
        db.setDatabaseName(file);
        opened = db.open();
    }
    if (!opened) {
        qDebug() << "DBManager : cannot open user DB file ]";
        message(QStringLiteral("DM > cannot open user DB file %1").arg(file));
        closeConnection();
        return;
    }
    message(QStringLiteral("DM > user DB opened successfully"));
    if (!initialize_userdb(file))
        return;
    file_DBUser[idx_DBType] = file;
    ui->lineEdit_DBUser->setText(file);
    rejectedUser.clear();
    getInfo_DBUser();
}

void dbmanager::on_pushButton_Save_clicked()
{
    const QStringList why = unopenedFiles();
    if (!why.isEmpty()) {
        for (const QString &line : why)
            message(QStringLiteral("DM ## ") + QString(line).replace(QLatin1Char('\n'), ' '));
        QMessageBox::warning(this, QStringLiteral("Database Manager"),
                             why.join(QStringLiteral("\n\n")));
    }
    save_currentSettings();
}

QStringList dbmanager::unopenedFiles()
{
    QStringList why;
    if (idx_DBType < 0 || idx_DBType >= file_DBRef.size() || idx_DBType >= file_DBUser.size())
        return why;
    // The file the fields show: one Select could not open, or the one held for the type.
    const QString shown = rejectedRef.isEmpty() ? file_DBRef.at(idx_DBType) : rejectedRef;
    rejectedRef.clear();
    if (!opens(shown)) {
        const QString reason = QFileInfo(shown).isFile() ? QStringLiteral("it is not a database")
                                                         : QStringLiteral("there is no such file");
        const QString stored = storedFile(settings_keys::keyFile, file_DBRef.at(idx_DBType));
        if (stored == shown)
            why << QStringLiteral("The reference database file\n%1\ncannot be opened: %2. "
                                  "Choose another file, or Reset to Default.")
                       .arg(shown, reason);
        else
            why << QStringLiteral("The reference database file\n%1\ncannot be opened: %2. "
                                  "The stored file\n%3\nis kept.")
                       .arg(shown, reason, stored);
        file_DBRef[idx_DBType] = stored;
        set_DBRef_fields(stored);
    }
    if (!rejectedUser.isEmpty()) {
        why << QStringLiteral("The user database file\n%1\ncannot be opened. The stored "
                              "file\n%2\nis kept.")
                   .arg(rejectedUser, file_DBUser.at(idx_DBType));
        set_DBUser_fields(file_DBUser.at(idx_DBType));
        rejectedUser.clear();
    }
    return why;
}

QString dbmanager::storedFile(const char *key, const QString &fallback) const
{
    QSettings settings;
    settings.beginGroup(settings_keys::groupDB);
    const int n = settings.beginReadArray(settings_keys::arrayFileDBTypes);
    QString file = fallback;
    if (idx_DBType >= 0 && idx_DBType < n) {
        settings.setArrayIndex(idx_DBType);
        file = settings.value(QLatin1String(key), fallback).toString();
    }
    settings.endArray();
    settings.endGroup();
    return file;
}

bool dbmanager::opens(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    bool ok = false;
    const QString conn = connName + QStringLiteral("_check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        ok = db.open() && QSqlQuery(db).exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        db.close();
    }
    QSqlDatabase::removeDatabase(conn);
    return ok;
}

void dbmanager::on_pushButton_Close_clicked()
{
    closeConnection();
    settings_write();
    close();
}

void dbmanager::on_tabWidget_tabBarClicked(int index)
{
    ui->tabWidget->setCurrentIndex(index >= 1 && index <= 3 ? index : 0);
}

#include "dbparse_driver.h"
#include "ui_dbparse_driver.h"

#include "dbparse_writer.h"
#include "message_pane.h"
#include "return_codes.h"
#include "screen_info.h"
#include "settings_keys.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace sk = settings_keys;

dbparse_driver::dbparse_driver(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::dbparse_driver)
{
    ui->setupUi(this);
    scrInfo = new screen_info(this);
    scrInfo->hide();
    settings_read();
}

dbparse_driver::~dbparse_driver()
{
    delete ui;
}

void dbparse_driver::settings_read()
{
    QSettings settings;
    settings.beginGroup(sk::groupDefault);
    list_DBTypes.clear();
    const int n = settings.beginReadArray(sk::arrayDBTypes);
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        list_DBTypes.append(settings.value(sk::keyDBType).toString());
    }
    settings.endArray();
    settings.endGroup();
    if (list_DBTypes.isEmpty())
        list_DBTypes = gl.dbtypes_list();

    settings.beginGroup(sk::groupDBParser);
    restoreGeometry(settings.value(sk::keyGeometry).toByteArray());
    scrInfo->scrPosition_center(this);
    file_source.clear();
    file_target.clear();
    const int m = settings.beginReadArray(sk::arrayFileTypes);
    for (int i = 0; i < m; ++i) {
        settings.setArrayIndex(i);
        file_source.append(settings.value(sk::keyFileSource).toString());
        file_target.append(settings.value(sk::keyFileTarget).toString());
    }
    settings.endArray();
    settings.endGroup();
    while (file_source.size() < list_DBTypes.size()) {
        file_source.append(QString::fromLatin1(sk::placeholderParserSource));
        file_target.append(QString::fromLatin1(sk::placeholderParserTarget));
    }

    const QSignalBlocker block(ui->comboBox_DBTypes);
    ui->comboBox_DBTypes->clear();
    ui->comboBox_DBTypes->addItems(list_DBTypes);
    idx_DBType = 0;
    ui->comboBox_DBTypes->setCurrentIndex(idx_DBType);
    showFields();
}

void dbparse_driver::settings_write()
{
    storeFields();
    QSettings settings;
    settings.beginGroup(sk::groupDBParser);
    settings.setValue(sk::keyGeometry, saveGeometry());
    settings.beginWriteArray(sk::arrayFileTypes, int(list_DBTypes.size()));
    for (int i = 0; i < list_DBTypes.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(sk::keyFileSource, file_source.value(i));
        settings.setValue(sk::keyFileTarget, file_target.value(i));
    }
    settings.endArray();
    settings.endGroup();
    settings.sync();
}

void dbparse_driver::storeFields()
{
    if (idx_DBType < 0 || idx_DBType >= file_source.size())
        return;
    file_source[idx_DBType] = ui->lineEdit_source->text().trimmed();
    file_target[idx_DBType] = ui->lineEdit_target->text().trimmed();
}

void dbparse_driver::showFields()
{
    ui->lineEdit_source->setText(file_source.value(idx_DBType));
    ui->lineEdit_target->setText(file_target.value(idx_DBType));
}

void dbparse_driver::message(const QString &line)
{
    message_pane::append(ui->textEdit_Messages, line);
}

bool dbparse_driver::targetInUse(const QString &target) const
{
    const QFileInfo t(target);
    if (!t.exists())
        return false;
    QSettings settings;
    settings.beginGroup(sk::groupDB);
    const int n = settings.beginReadArray(sk::arrayFileDBTypes);
    bool inUse = false;
    for (int i = 0; i < n && !inUse; ++i) {
        settings.setArrayIndex(i);
        const QFileInfo ref(settings.value(sk::keyFile).toString());
        inUse = ref.exists() && ref.canonicalFilePath() == t.canonicalFilePath();
    }
    settings.endArray();
    settings.endGroup();
    return inUse;
}

int dbparse_driver::parse()
{
    storeFields();
    const QString source = ui->lineEdit_source->text().trimmed();
    const QString target = ui->lineEdit_target->text().trimmed();
    ui->progressBar->setValue(0);
    message(QStringLiteral("DP >> parsing [ %1 ]").arg(source));
    if (!QFileInfo(source).isFile()) {
        message(QStringLiteral("DP ## the source file [ %1 ] does not exist").arg(source));
        return return_codes::failed;
    }
    if (target.isEmpty() || target == QLatin1String(sk::placeholderParserTarget)) {
        message(QStringLiteral("DP ## no target database file is set"));
        return return_codes::failed;
    }
    if (targetInUse(target)) {
        message(QStringLiteral("DP ## [ %1 ] is the reference database in use; it is not "
                               "overwritten. Choose another target file.")
                    .arg(target));
        return return_codes::failed;
    }

    dbparse_counts counts;
    QStringList messages;
    ui->pushButton_Parse->setEnabled(false);
    const int rc = dbparse_convert(source, target, &counts, &messages, [this](int percent) {
        ui->progressBar->setValue(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    ui->pushButton_Parse->setEnabled(true);
    for (const QString &m : messages)
        message(QStringLiteral("DP ## ") + m);
    if (rc != return_codes::success) {
        ui->progressBar->setValue(0);
        message(QStringLiteral("DP ## parsing failed; [ %1 ] is unchanged").arg(target));
        qDebug() << "DP WRITE : #### parsing failed" << source << target;
        return return_codes::failed;
    }
    ui->progressBar->setValue(100);
    message(QStringLiteral("DP >> database written [ %1 ]").arg(target));
    for (const QString &line : counts.summary())
        message(QStringLiteral("DP >>    ") + line);
    qDebug() << "DP WRITE : database written" << target;
    settings_write();
    return return_codes::success;
}

void dbparse_driver::on_comboBox_DBTypes_currentIndexChanged(int index)
{
    storeFields();
    if (index < 0 || index >= list_DBTypes.size())
        return;
    idx_DBType = index;
    showFields();
}

void dbparse_driver::on_pushButton_sourceSelect_clicked()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("data0 source file"),
                                                      gl.path_user_home());
    if (!file.isEmpty())
        ui->lineEdit_source->setText(file);
}

void dbparse_driver::on_pushButton_targetSelect_clicked()
{
    const QString file
        = QFileDialog::getSaveFileName(this, QStringLiteral("reference database"),
                                       gl.path_user_home(), QStringLiteral("Database (*.db)"));
    if (!file.isEmpty())
        ui->lineEdit_target->setText(file);
}

void dbparse_driver::on_pushButton_Parse_clicked()
{
    parse();
}

void dbparse_driver::on_pushButton_Close_clicked()
{
    settings_write();
    close();
}

#include "doc_about.h"
#include "ui_doc_about.h"

#include "doc_folder.h"
#include "screen_info.h"

#include <QDebug>
#include <QSettings>

doc_about::doc_about(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::doc_about)
{
    ui->setupUi(this);
    settings_read();
}

doc_about::~doc_about()
{
    delete ui;
}

void doc_about::setup_about()
{
    QStringList docs = doc_folder::documents_html(docFolder);
    if (docs.isEmpty()) {
        qDebug() << "DOC: no about documents in" << docFolder;
        ui->textBrowser_about->setText(QStringLiteral("\n<b>no documents found</b>"));
        ui->textBrowser_notices->clear();
        return;
    }
    ui->textBrowser_about->setHtml(docs.takeFirst());
    ui->textBrowser_notices->setHtml(docs.join(QStringLiteral("<hr/>")));
}

void doc_about::on_pushButton_close_clicked()
{
    settings_write();
    close();
    emit signal_docAbout_close();
}

void doc_about::settings_read()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(settingsGroup));
    restoreGeometry(settings.value("geometry").toByteArray());
    settings.endGroup();
    screen_info scr;
    scr.scrPosition_center(this);
}

void doc_about::settings_write()
{
    QSettings settings;
    settings.beginGroup(QLatin1String(settingsGroup));
    settings.setValue("geometry", saveGeometry());
    settings.endGroup();
}

#include "doc_about.h"
#include "ui_doc_about.h"

#include "doc_folder.h"
#include "doc_geometry.h"

#include <QDebug>

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
    doc_geometry::restore(this, QString::fromLatin1(settingsGroup));
}

void doc_about::settings_write()
{
    doc_geometry::save(this, QString::fromLatin1(settingsGroup));
}

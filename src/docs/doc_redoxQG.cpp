#include "doc_redoxQG.h"
#include "ui_doc_redoxQG.h"

#include "doc_folder.h"
#include "doc_geometry.h"

#include <QDebug>

doc_redoxQG::doc_redoxQG(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::doc_redoxQG)
{
    ui->setupUi(this);
    settings_read();
}

doc_redoxQG::~doc_redoxQG()
{
    delete ui;
}

void doc_redoxQG::setup_about()
{
    const QStringList docs = doc_folder::documents_html(docFolder);
    if (docs.isEmpty()) {
        qDebug() << "DOC: no quick-guide documents in" << docFolder;
        ui->textBrowser_guide->setText(QStringLiteral("\n<b>no documents found</b>"));
        return;
    }
    ui->textBrowser_guide->setHtml(docs.join(QStringLiteral("<hr/>")));
}

void doc_redoxQG::on_pushButton_close_clicked()
{
    settings_write();
    close();
}

void doc_redoxQG::settings_read()
{
    doc_geometry::restore(this, QString::fromLatin1(settingsGroup));
}

void doc_redoxQG::settings_write()
{
    doc_geometry::save(this, QString::fromLatin1(settingsGroup));
}

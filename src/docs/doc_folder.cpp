#include "doc_folder.h"

#include "global.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

QStringList doc_folder::documents_html(const QString &folder)
{
    QStringList docs;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &name : names) {
        const QString html = document_html(dir.filePath(name));
        if (!html.isEmpty())
            docs.append(html);
    }
    return docs;
}

QString doc_folder::document_html(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    const QString text = substitute_versions(QString::fromUtf8(f.readAll()));
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        return text;
    if (suffix == QLatin1String("md")) {
        QTextDocument doc;
        doc.setMarkdown(text);
        return doc.toHtml();
    }
    return QStringLiteral("<pre>") + text.toHtmlEscaped() + QStringLiteral("</pre>");
}

QString doc_folder::substitute_versions(QString text)
{
    const global g;
    text.replace(QLatin1String("{{versionVek7}}"), g.version_simulator());
    text.replace(QLatin1String("{{versionDB}}"), g.version_database());
    text.replace(QLatin1String("{{formatJSDB}}"), g.default_format_jsdb());
    text.replace(QLatin1String("{{tagCompilation}}"), QString::number(g.tag_compilation()));
    text.replace(QLatin1String("{{versionQt}}"), QString::fromLatin1(qVersion()));
    return text;
}

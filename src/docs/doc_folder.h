#pragma once

#include <QString>
#include <QStringList>

/// Reads the documents of one folder (a resource folder such as ":/aboutVek7")
/// for the document viewers. Each file is one document, taken in file-name
/// order: ".html"/".htm" files as HTML, ".md" files as Markdown, anything else as
/// plain text. Place-holders in a document are replaced by the running program's
/// values: {{versionVek7}}, {{versionDB}}, {{formatJSDB}}, {{tagCompilation}},
/// {{versionQt}}.
class doc_folder
{
public:
    /// The documents of `folder` as HTML, in file-name order; empty when the
    /// folder is missing or holds no readable file.
    static QStringList documents_html(const QString &folder);
    /// One document file as HTML, place-holders replaced; empty when unreadable.
    static QString document_html(const QString &file);
    /// `text` with every place-holder replaced by its value.
    static QString substitute_versions(QString text);
};

#include "test_csv.h"

#include <QString>

QList<QStringList> parseDelimited(const QByteArray &bytes, QChar delimiter)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text.at(i + 1) == '"')
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            fields << field;
            field.clear();
        } else if (c == '\n') {
            records << (fields << field);
            fields.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty())
        records << (fields << field);
    return records;
}

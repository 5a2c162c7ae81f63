#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QStringList>

/// Records of delimited text as RFC 4180 reads them (quoted fields may hold the
/// delimiter, doubled quotes and line breaks).
QList<QStringList> parseDelimited(const QByteArray &bytes, QChar delimiter);

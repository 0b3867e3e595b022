#pragma once
// A CSV line read as spreadsheet and CSV readers read it: fields split at the separator; a
// field that starts with a double quote runs to the closing quote ("" inside is one quote), a
// quote anywhere else is an ordinary character. Leading blanks are kept (a reader that strips
// them sees the same field count).
#include <QString>
#include <QStringList>

namespace testing_support {

inline QStringList readCsvLine(const QString& line, QChar separator = QLatin1Char(';'))
{
    QStringList fields;
    QString field;
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        field.clear();
        if (i < n && line[i] == QLatin1Char('"')) {
            ++i;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
        }
        while (i < n && line[i] != separator)
            field += line[i++];
        fields << field;
        if (i >= n)
            break;
        ++i; // the separator
    }
    return fields;
}

} // namespace testing_support

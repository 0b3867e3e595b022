#pragma once
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "support/QtPrinters.h"

namespace testing_support {

// A fresh folder per test, removed afterwards; paths inside it use "/".
class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    // Writes bytes to a file below the folder, creating sub-folders; returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;
    bool exists(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// Bytes from a hex text such as "0A 00 00 FE" (blanks ignored).
QByteArray hexBytes(const char* hex);
// Upper-case hex text of bytes, separated by blanks: "0A 00 00 FE".
QString toHex(const QByteArray& bytes);
// The contents of tests/data/<name>.
QByteArray dataFile(const QString& name);

} // namespace testing_support

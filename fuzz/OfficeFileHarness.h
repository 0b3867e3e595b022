#pragma once
// For harnesses of readers that open files by name: the input goes to one file in a folder of
// this run, written again for every input.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

inline QString VnHarnessFile(const QByteArray& bytes, const QString& name)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

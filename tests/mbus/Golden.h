#pragma once
// Compares bytes with a golden file of tests/data. With VN_UPDATE_GOLDEN set in the environment
// the file is written from the bytes instead (review the difference before committing it).
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>

namespace mbus_test {

inline void expectGolden(const QString& name, const QByteArray& actual)
{
    if (qEnvironmentVariableIsSet("VN_UPDATE_GOLDEN")) {
        const QString path = QStringLiteral(VN_TEST_DATA_DIR) + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(actual);
        return;
    }
    EXPECT_EQ(QString::fromUtf8(actual), QString::fromUtf8(testing_support::dataFile(name))) << name.toStdString();
}

} // namespace mbus_test

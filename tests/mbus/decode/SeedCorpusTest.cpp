// The fuzz harness's seed corpus is made of the fixtures of these tests. Run with
// VN_WRITE_SEEDS=1 to rewrite it after a fixture changed.
#include "Fixtures.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(SeedCorpus, HoldsTheFixtures)
{
    const QString dir = QStringLiteral(VN_SOURCE_DIR "/fuzz/mbus_decode/corpus/");
    const bool write = qEnvironmentVariableIsSet("VN_WRITE_SEEDS");
    for (const mbustest::Seed& s : mbustest::seeds()) {
        SCOPED_TRACE(s.name);
        const QByteArray bytes(reinterpret_cast<const char*>(s.bytes.data()), static_cast<qsizetype>(s.bytes.size()));
        QFile f(dir + QString::fromStdString(s.name));
        if (write) {
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
            continue;
        }
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes);
    }
}

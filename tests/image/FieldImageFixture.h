#pragma once
// Helpers of the tests of the CAN, CANopen, fieldbus slave, DeviceNet, KNX, DMX and SNMP images:
// a project of one device type (ImageFixture.h) filled through the table-file generators of
// tests/support, and byte views of the image it builds.
#include "ImageFixture.h"
#include "image/ImageBuilder.h"
#include "support/TableFiles.h"

#include <gtest/gtest.h>

namespace field_test {

using image_test::Project;
using testing_support::toHex;
namespace tf = testing_support::tables;

inline void writeParGen(Project& prj, const std::vector<std::pair<QString, QString>>& keys)
{
    prj.write(prj.ws().Path_ParGen, tf::parGenXml(keys));
}

inline void writeObjects(Project& prj, const tf::Rows& readRows, const tf::Rows& writeRows = {})
{
    prj.write(prj.ws().Path_BACnet_SetAccess, tf::objectTableXml(readRows, writeRows));
}

// bank1 after a build that must succeed.
inline QByteArray build(Project& prj)
{
    const image::BuildResult r = image::Build_Bin(prj.st());
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return prj.bank1();
}

// The message of a build that must fail; bank1 must be what it was before.
inline QString buildError(Project& prj)
{
    const QByteArray before = prj.bank1();
    const image::BuildResult r = image::Build_Bin(prj.st());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(prj.bank1(), before) << "a refused build leaves bank1 as it was";
    return r.error;
}

inline QString at(const QByteArray& b, int offset, int n) { return toHex(b.mid(offset, n)); }

inline uint32_t le32(const QByteArray& b, int offset)
{
    return image::readLE32(reinterpret_cast<const uint8_t*>(b.constData()) + offset);
}

inline uint16_t le16(const QByteArray& b, int offset)
{
    return image::readLE16(reinterpret_cast<const uint8_t*>(b.constData()) + offset);
}

// The 2048-byte record at `offset` closes with the sum of its first 2044 bytes.
inline bool checksumValid(const QByteArray& b, int offset)
{
    const auto* p = reinterpret_cast<const uint8_t*>(b.constData()) + offset;
    return b.size() >= offset + 2048 && image::byteSum(p, 2044) == image::readLE32(p + 2044);
}

inline bool allZero(const QByteArray& b) { return b.count('\0') == b.size(); }

} // namespace field_test

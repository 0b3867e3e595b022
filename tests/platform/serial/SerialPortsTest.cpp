#include "platform/serial/SerialPorts.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using testing_support::TempDir;

namespace {

// Builds a fake sysfs tree: class/tty/<name> with an optional `type` attribute and an optional
// device folder whose `driver` is a link to a driver folder of the given name.
class FakeSysfs {
public:
    struct Tty {
        const char* name;
        const char* type;   // nullptr: no `type` attribute
        bool device;
        const char* driver; // nullptr: no driver bound
    };

    explicit FakeSysfs(const TempDir& dir) : dir_(dir) {}

    void add(const Tty& t)
    {
        const QString tty = QStringLiteral("class/tty/") + QLatin1String(t.name);
        QDir().mkpath(dir_.file(tty));
        if (t.type)
            dir_.write(tty + QStringLiteral("/type"), QByteArray(t.type) + '\n');
        if (t.device) {
            QDir().mkpath(dir_.file(tty + QStringLiteral("/device")));
            if (t.driver) {
                const QString target = dir_.file(QStringLiteral("bus/drivers/") + QLatin1String(t.driver));
                QDir().mkpath(target);
                ASSERT_TRUE(QFile::link(target, dir_.file(tty + QStringLiteral("/device/driver"))));
            }
        }
    }

private:
    const TempDir& dir_;
};

} // namespace

TEST(SerialPorts, ListsHardwarePortsOnlyInNaturalOrder)
{
    TempDir dir;
    FakeSysfs sys(dir);
    const FakeSysfs::Tty ttys[] = {
        {"ttyS0", "4", true, "port"},          // detected 16550A under the port driver
        {"ttyS1", "0", true, "serial8250"},    // spare entry of the 8250 driver
        {"ttyS10", "4", true, "serial8250"},   // a real UART probed by the 8250 platform driver
        {"ttyS2", nullptr, true, "serial"},    // no type attribute, real driver
        {"ttyS3", nullptr, true, "serial8250"},// no type attribute, placeholder driver
        {"ttyS4", "junk", true, "port"},       // unreadable type
        {"ttyS5", "4", false, nullptr},        // no device behind it
        {"ttyS6", nullptr, true, nullptr},     // no type, no driver
        {"ttyUSB1", nullptr, true, "ftdi_sio"},
        {"ttyUSB0", nullptr, true, "pl2303"},
        {"ttyUSB9", nullptr, false, nullptr},  // stale entry without a device
        {"ttyACM0", nullptr, true, "cdc_acm"},
        {"tty0", nullptr, false, nullptr},     // virtual console
        {"ptmx", nullptr, false, nullptr},
        {"ttyUSB", nullptr, true, "ftdi_sio"}, // no number: not a port name
        {"ttySx1", "4", true, "port"},
    };
    for (const auto& t : ttys)
        sys.add(t);

    EXPECT_EQ(platform::listSerialPorts(dir.path()),
              (QStringList{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0",
                           "/dev/ttyUSB1"}));
}

TEST(SerialPorts, MissingOrEmptyTreeGivesNoPorts)
{
    TempDir dir;
    EXPECT_TRUE(platform::listSerialPorts(dir.path()).isEmpty());
    EXPECT_TRUE(platform::listSerialPorts(dir.file(QStringLiteral("nowhere"))).isEmpty());
    QDir().mkpath(dir.file(QStringLiteral("class/tty")));
    EXPECT_TRUE(platform::listSerialPorts(dir.path()).isEmpty());
}

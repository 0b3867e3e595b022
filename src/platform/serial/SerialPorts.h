#pragma once
// The serial ports present on this machine, from the kernel's view in sysfs.
//
// A port counts when it is backed by hardware:
// - ttyUSB* (USB serial adapters) and ttyACM* (USB modems, CDC ACM) that have a device link;
// - ttyS* with a device link whose UART was detected: the tty's `type` attribute is a UART
//   type other than 0 ("unknown", which the 8250 driver gives the spare ttyS entries it
//   creates in advance). Where the kernel offers no `type`, a bound driver other than the
//   placeholder platform driver "serial8250" counts instead.
// Pseudo-terminals, virtual consoles and the rest of /sys/class/tty are not serial ports.
#include <QString>
#include <QStringList>

namespace platform {

// Device paths such as "/dev/ttyS0" and "/dev/ttyUSB0", sorted by kind and then by number
// ("/dev/ttyS2" before "/dev/ttyS10"). `sysfsRoot` is the mount point of sysfs; tests pass a
// folder holding a fake `class/tty` tree.
QStringList listSerialPorts(const QString& sysfsRoot = QStringLiteral("/sys"));

} // namespace platform

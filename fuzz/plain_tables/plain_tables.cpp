// The plain table readers (DeviceNet master network and byte offsets, J1939 and NMEA 2000
// frames) on arbitrary bytes. The first byte picks the file; the rest is its text. Whatever the
// text, a reader ends with rows or a message, never a crash; a slave list holds only IDs and
// byte counts in range with one offset and one mnemonic per byte, and every offset kept is
// "None"-like or a position of the byte array, so the clash check never indexes outside it.
#include "tables/devicenet/DeviceNetFiles.h"
#include "tables/j1939/J1939Files.h"
#include "tables/nmea/NmeaFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void writeFile(const QString& path, const char* data, size_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(data, qint64(size));
}

// Three slaves for the offset file to fill: 4/2, 0/3 and 2/0 bytes.
constexpr char kNet[] = "<?xml version=\"1.0\"?>\n<DNET_Net>\n"
                        "<row ID=\"1\" NB_IN=\"4\" NB_OUT=\"2\" Mnemonic=\"a\"/>\n"
                        "<row ID=\"5\" NB_IN=\"0\" NB_OUT=\"3\" Mnemonic=\"b\"/>\n"
                        "<row ID=\"63\" NB_IN=\"2\" NB_OUT=\"0\" Mnemonic=\"c\"/>\n</DNET_Net>\n";

void checkSlaves(const tables::devicenet::SlaveList& list)
{
    using namespace tables::devicenet;
    for (const Slave& s : list.slaves) {
        if (s.ID > kMaxNodeId || s.List_ByteIN.size() != s.ByteIN || s.List_ByteIN_M.size() != s.ByteIN ||
            s.List_ByteOUT.size() != s.ByteOUT || s.List_ByteOUT_M.size() != s.ByteOUT)
            std::abort();
        for (const QStringList* offsets : {&s.List_ByteIN, &s.List_ByteOUT})
            for (const QString& o : *offsets)
                if (const std::optional<int> p = offsetPosition(o); p && (*p < 0 || *p >= kByteArraySize))
                    std::abort();
    }
    if (const std::optional<OffsetClash> c = Check_Data(list.slaves); c && c->outOfRange)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.xml"));
    const QString net = dir.filePath(QStringLiteral("DNETM_Net.xml"));
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;
    switch (data[0] % 6) {
    case 0: {
        writeFile(net, text, length);
        const tables::devicenet::SlaveList list = tables::devicenet::Load_Slave_DN(net);
        checkSlaves(list);
        break;
    }
    case 1: {
        writeFile(net, kNet, sizeof(kNet) - 1);
        tables::devicenet::SlaveList list = tables::devicenet::Load_Slave_DN(net);
        if (list.slaves.size() != 3 || !list.error.isEmpty())
            std::abort();
        writeFile(path, text, length);
        (void)tables::devicenet::Load_Offset_Slave_DN(list, path);
        checkSlaves(list);
        break;
    }
    case 2: writeFile(path, text, length); (void)tables::j1939::readReceiveFrames(path); break;
    case 3: writeFile(path, text, length); (void)tables::j1939::readTransmitFrames(path); break;
    case 4: writeFile(path, text, length); (void)tables::nmea::readReceiveFrames(path); break;
    default: writeFile(path, text, length); (void)tables::nmea::readTransmitFrames(path); break;
    }
    return 0;
}

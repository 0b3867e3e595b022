#include "mbus/master/CustomDevices.h"

#include "platform/text/Text.h"

#include <QStringList>
#include <optional>

namespace mbus::master {

namespace {

const QString kDeviceStart = QStringLiteral("NOME TEMPLATE =");

bool startsDevice(const QString& line) { return platform::upperAscii(line).startsWith(kDeviceStart); }

// The description after "NOME TEMPLATE =": trimmed, cut before its first ";", trimmed again.
QString descriptionOf(const QString& line)
{
    QString d = platform::trim(line.mid(kDeviceStart.size()));
    const qsizetype semicolon = d.indexOf(QLatin1Char(';'));
    if (semicolon >= 0)
        d = platform::trim(d.left(semicolon));
    return d;
}

} // namespace

TMBusVariable parseVariableLine(const QString& line)
{
    TMBusVariable v;
    const QString rest = line.mid(1);
    QStringList fields = rest.split(QLatin1Char(';'));
    for (QString& f : fields)
        f = platform::trim(f);
    qsizetype at = 0;
    // The next field: a number (`def` when it does not read), or nothing when the line has ended.
    const auto next = [&](int32_t def) -> std::optional<int32_t> {
        if (at >= fields.size())
            return std::nullopt;
        return platform::toInt(fields[at++]).value_or(def);
    };
    const auto nextText = [&]() -> QString { return at < fields.size() ? fields[at++] : QString(); };

    v.fDimension = 0; // a line that ends before its dimension leaves it 0
    v.fHeader_Frame = platform::upperAscii(platform::trim(rest)).startsWith(QLatin1String("HEADER"));
    if (v.fHeader_Frame) {
        ++at; // "HEADER"
        v.fFrame = 0;
        (void)next(0); // the position of a header value is always 0
        v.fPosition = 0;
    } else {
        v.fFrame = next(0).value_or(0);
        v.fPosition = next(0).value_or(0);
    }
    v.fDimension = next(1).value_or(0);
    const int32_t dataPosition = next(0).value_or(0);
    v.fPosition_Data = v.fHeader_Frame ? dataPosition : 0;
    v.fCustomer_Spec = next(0).value_or(0) != 0;
    v.fReadWrite = next(0).value_or(0) != 0;
    const QString frameWrite = nextText();
    const int32_t frameLength = next(0).value_or(0);
    if (v.fReadWrite) {
        v.fFrame_Write = frameWrite;
        v.fFrameW_Len = frameLength;
    }
    v.fDev_Instance = next(0).value_or(0);
    v.fObject_Type = next(0).value_or(0);
    v.fObject_Inst = next(0).value_or(0);
    v.fObject_Name = nextText();
    v.fDescription = nextText();
    v.fUnits = next(0).value_or(0);
    v.fPost_Ope = next(0).value_or(0);
    return v;
}

std::vector<TDevice_MBus> parseDeviceDescriptions(const QString& text)
{
    std::vector<TDevice_MBus> devices;
    bool inDevice = false;
    TDevice_MBus current;
    const auto close = [&] {
        if (inDevice && !current.MBusVars.empty())
            devices.push_back(std::move(current));
        current = TDevice_MBus{};
        inDevice = false;
    };
    for (const QString& raw : platform::splitLines(text)) {
        const QString line = platform::trim(raw);
        if (inDevice && (line.startsWith(QLatin1String(";;;")) || startsDevice(line)))
            close();
        if (!inDevice) {
            if (startsDevice(line)) {
                inDevice = true;
                current.fDescription = descriptionOf(line);
            }
            continue;
        }
        current.MBusVars.push_back(parseVariableLine(line));
    }
    close();
    return devices;
}

} // namespace mbus::master

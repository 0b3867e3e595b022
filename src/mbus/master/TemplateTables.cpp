#include "mbus/master/TemplateTables.h"

#include "platform/text/Text.h"
#include "workspace/Workspace.h"

#include <optional>

namespace mbus::master {

namespace {

using workspace::text;

// UI texts of the check.
constexpr int kObjectPrefix = 1461;
constexpr int kRequestPrefix = 1479;

int32_t number(const QStringList& row, int col) { return platform::toInt(row.value(col)).value_or(-1); }

bool inRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

// The failure of one row: the text of its message.
using RowFailure = std::optional<int>;

RowFailure checkObjectRow(const QStringList& row, int r, int32_t& prevFrame, int32_t& prevPos, TStruct_BACnet& v)
{
    v.FrameNumber = number(row, 1);
    if (v.FrameNumber < 0)
        return 1462;
    if ((r == 1 || r == 2) && v.FrameNumber != 0)
        return 1463;
    if (v.FrameNumber < prevFrame)
        return 1464;
    v.PositionInFrame = number(row, 2);
    if (!inRange(v.PositionInFrame, 0, 100))
        return 1465;
    // Positions must not go down within one frame; a new frame starts again.
    if (v.FrameNumber != prevFrame)
        prevPos = -1;
    if (v.PositionInFrame < prevPos)
        return 1466;
    prevFrame = v.FrameNumber;
    prevPos = v.PositionInFrame;
    v.Dimension = number(row, 3);
    if (!inRange(v.Dimension, 0, 192))
        return 1467;
    if (number(row, 4) != 0)
        return 1468;
    v.UsedInMoreVars = 0;
    v.ObjectType = number(row, 5);
    if (!inRange(v.ObjectType, 0, 1024))
        return 1469;
    v.PostOperation = number(row, 6);
    if (!inRange(v.PostOperation, 0, 12))
        return 1470;
    v.LengthWriteFrame = number(row, 7);
    if (!inRange(v.LengthWriteFrame, 0, 10))
        return 1471;
    const QString frame = platform::trim(row.value(8));
    if (v.LengthWriteFrame > 0 && frame.isEmpty())
        return 1472;
    const std::optional<std::vector<uint8_t>> bytes = frameFromHexText(frame);
    if (!bytes)
        return 1473;
    v.WriteFrame = *bytes;
    QString unit = platform::trim(row.value(9));
    if (unit.isEmpty())
        unit = QStringLiteral("95");
    v.Units = platform::toInt(unit).value_or(-1);
    if (!inRange(v.Units, 0, 65535))
        return 1474;
    v.Options = number(row, 10);
    if (v.Options != 0 && v.Options != 3)
        return 1475;
    v.ObjectName = platform::trim(row.value(11));
    int failedSplit = 0;
    const std::optional<std::array<QString, 4>> splits = Split_Object_Name(v.ObjectName, &failedSplit);
    if (!splits)
        return failedSplit == 1 ? 1478 : failedSplit == 2 ? 1477 : 1476;
    v.ON_Split1 = (*splits)[0];
    v.ON_Split2 = (*splits)[1];
    v.ON_Split3 = (*splits)[2];
    v.ON_Split4 = (*splits)[3];
    v.Description = platform::trim(row.value(12));
    return std::nullopt;
}

RowFailure checkRequestRow(const QStringList& row, TStruct_MBus& q)
{
    q.FrameNumber = number(row, 1);
    if (q.FrameNumber < 0)
        return 1480;
    q.FrameLength = number(row, 2);
    if (!inRange(q.FrameLength, 1, 26))
        return 1481;
    const QString frame = platform::trim(row.value(3));
    if (frame.isEmpty())
        return 1482;
    const std::optional<std::vector<uint8_t>> bytes = frameFromHexText(frame);
    if (!bytes)
        return 1483;
    q.Frame = *bytes;
    q.ByteToChange = number(row, 4);
    if (!inRange(q.ByteToChange, 1, 26))
        return 1484;
    q.Reply = number(row, 5);
    if (q.Reply != 229 && q.Reply != 255)
        return 1485;
    q.NextStep = number(row, 6);
    if (q.NextStep < 0)
        return 1486;
    q.VariablesForFrame = number(row, 7);
    if (!inRange(q.VariablesForFrame, 0, 100))
        return 1487;
    return std::nullopt;
}

bool used(const QStringList& row) { return !platform::trim(row.value(1)).isEmpty(); }

} // namespace

TemplateCheck checkTemplateTables(const std::vector<QStringList>& objects, const std::vector<QStringList>& requests)
{
    TemplateCheck result;
    const auto fail = [&result](int prefix, int row, int message) {
        result.ok = false;
        result.message = text(prefix) + QString::number(row) + text(message);
        return result;
    };
    int32_t prevFrame = -1;
    int32_t prevPos = -1;
    for (size_t i = 0; i < objects.size() && used(objects[i]); ++i) {
        const int r = int(i) + 1;
        TStruct_BACnet v;
        if (const RowFailure f = checkObjectRow(objects[i], r, prevFrame, prevPos, v))
            return fail(kObjectPrefix, r, *f);
        result.variables.push_back(std::move(v));
    }
    for (size_t i = 0; i < requests.size() && used(requests[i]); ++i) {
        const int r = int(i) + 1;
        TStruct_MBus q;
        if (const RowFailure f = checkRequestRow(requests[i], q))
            return fail(kRequestPrefix, r, *f);
        q.Step = int32_t(result.requests.size()) + 1;
        result.requests.push_back(std::move(q));
    }
    return result;
}

std::vector<QStringList> usedTemplateRows(const std::function<QString(int col, int row)>& cell, int rowCount,
                                          int colCount)
{
    std::vector<QStringList> rows;
    for (int r = 1; r < rowCount; ++r) {
        if (platform::trim(cell(1, r)).isEmpty())
            break;
        QStringList row;
        row.reserve(colCount);
        for (int c = 0; c < colCount; ++c)
            row.push_back(cell(c, r));
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList csvFields(const QString& line)
{
    QStringList fields;
    QString rest = platform::trim(line);
    while (!rest.isEmpty()) {
        const qsizetype semicolon = rest.indexOf(QLatin1Char(';'));
        if (semicolon < 0) {
            fields.push_back(rest);
            break;
        }
        fields.push_back(platform::trim(rest.left(semicolon)));
        rest = platform::trim(rest.mid(semicolon + 1));
    }
    return fields;
}

std::vector<CsvRow> csvRows(const QString& text)
{
    std::vector<CsvRow> rows;
    const QStringList lines = platform::splitLines(text);
    for (qsizetype n = 1; n < lines.size(); ++n) {
        if (platform::trim(lines[n]).isEmpty())
            continue;
        rows.push_back({int(n), csvFields(lines[n])});
    }
    return rows;
}

} // namespace mbus::master

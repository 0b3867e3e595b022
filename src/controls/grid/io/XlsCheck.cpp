#include "controls/grid/io/XlsCheck.h"

#include "controls/grid/io/XlsxReader.h"

#include <QHash>
#include <QSet>
#include <cstdint>
#include <vector>

namespace controls::grid::io {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFree = 0xFFFFFFFF;
constexpr int kMaxRecord = 8224;

uint16_t u16(const QByteArray& b, qint64 at)
{
    return uint16_t(uint8_t(b[qsizetype(at)]) | (uint8_t(b[qsizetype(at + 1)]) << 8));
}

uint32_t u32(const QByteArray& b, qint64 at)
{
    return uint32_t(u16(b, at)) | (uint32_t(u16(b, at + 2)) << 16);
}

struct Compound {
    const QByteArray& bytes;
    qint64 sectorSize = 512;
    qint64 sectorCount = 0;
    std::vector<uint32_t> fat;

    qint64 offset(uint32_t sector) const { return (qint64(sector) + 1) * sectorSize; }

    // The sectors of a chain, which must end properly, stay inside the file and never loop.
    bool chain(uint32_t start, std::vector<uint32_t>& out, QString& why) const
    {
        out.clear();
        std::vector<bool> seen(size_t(sectorCount), false);
        for (uint32_t s = start; s != kEndOfChain;) {
            if (s >= uint64_t(sectorCount) || s >= fat.size()) {
                why = QStringLiteral("a sector chain leaves the file");
                return false;
            }
            if (seen[s]) {
                why = QStringLiteral("a sector chain loops");
                return false;
            }
            seen[s] = true;
            out.push_back(s);
            s = fat[s];
        }
        return true;
    }

    QByteArray stream(const std::vector<uint32_t>& sectors) const
    {
        QByteArray out;
        out.reserve(qsizetype(sectors.size() * size_t(sectorSize)));
        for (uint32_t s : sectors)
            out.append(bytes.constData() + offset(s), qsizetype(sectorSize));
        return out;
    }
};

QString readCompound(const QByteArray& b, QByteArray& workbook)
{
    if (b.size() < 512 || !b.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")))
        return QStringLiteral("it is no compound document");
    Compound c{b, 512, 0, {}};
    const uint16_t major = u16(b, 26);
    const uint16_t shift = u16(b, 30);
    if (u16(b, 28) != 0xFFFE || !((major == 3 && shift == 9) || (major == 4 && shift == 12)) || u16(b, 32) != 6)
        return QStringLiteral("its compound document header is damaged");
    c.sectorSize = qint64(1) << shift;
    if (b.size() < c.sectorSize)
        return QStringLiteral("its compound document header is damaged");
    c.sectorCount = (b.size() - c.sectorSize) / c.sectorSize; // whole sectors only
    const uint32_t fatSectors = u32(b, 44);
    const uint32_t firstDir = u32(b, 48);
    const uint32_t miniCutoff = u32(b, 56);
    const uint32_t firstMiniFat = u32(b, 60);
    const uint32_t miniFatSectors = u32(b, 64);
    uint32_t difat = u32(b, 68);
    const uint32_t difatSectors = u32(b, 72);
    if (miniCutoff != 4096 || fatSectors == 0 || fatSectors > uint64_t(c.sectorCount)
        || difatSectors > uint64_t(c.sectorCount) || miniFatSectors > uint64_t(c.sectorCount))
        return QStringLiteral("its compound document header is damaged");

    // The allocation table: its sectors are listed in the header and in the DIFAT chain.
    std::vector<uint32_t> fatList;
    for (int i = 0; i < 109 && fatList.size() < fatSectors; ++i)
        fatList.push_back(u32(b, 76 + 4 * i));
    const qint64 perDifat = c.sectorSize / 4 - 1;
    std::vector<bool> difatSeen(size_t(c.sectorCount), false);
    for (uint32_t k = 0; fatList.size() < fatSectors; ++k) {
        if (k >= difatSectors || difat >= uint64_t(c.sectorCount) || difatSeen[difat])
            return QStringLiteral("its sector allocation table is incomplete");
        difatSeen[difat] = true;
        const qint64 at = c.offset(difat);
        for (qint64 i = 0; i < perDifat && fatList.size() < fatSectors; ++i)
            fatList.push_back(u32(b, at + 4 * i));
        difat = u32(b, at + 4 * perDifat);
    }
    for (uint32_t s : fatList) {
        if (s >= uint64_t(c.sectorCount))
            return QStringLiteral("its sector allocation table lies outside the file");
        const qint64 at = c.offset(s);
        for (qint64 i = 0; i < c.sectorSize / 4; ++i)
            c.fat.push_back(u32(b, at + 4 * i));
    }

    // The directory: every entry's name within its 64 bytes, known kinds only.
    QString why;
    std::vector<uint32_t> dirSectors;
    if (!c.chain(firstDir, dirSectors, why))
        return QStringLiteral("its directory is damaged (%1)").arg(why);
    const QByteArray dir = c.stream(dirSectors);
    const qsizetype entries = dir.size() / 128;
    qsizetype book = -1;
    for (qsizetype e = 0; e < entries; ++e) {
        const qint64 at = qint64(e) * 128;
        const uint16_t nameBytes = u16(dir, at + 64);
        const uint8_t kind = uint8_t(dir[qsizetype(at + 66)]);
        if (nameBytes > 64 || nameBytes % 2 != 0 || (kind != 0 && kind != 1 && kind != 2 && kind != 5))
            return QStringLiteral("its directory is damaged (entry %1)").arg(e);
        if (kind != 2 || nameBytes < 2)
            continue;
        const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(dir.constData() + at), nameBytes / 2 - 1);
        if (book < 0 && (name == QLatin1String("Workbook") || name == QLatin1String("Book")))
            book = e;
    }
    if (entries == 0 || uint8_t(dir[66]) != 5)
        return QStringLiteral("its directory has no root");
    if (book < 0)
        return QStringLiteral("it holds no workbook stream");
    const qint64 bookAt = qint64(book) * 128;
    const uint32_t start = u32(dir, bookAt + 116);
    const uint32_t size = u32(dir, bookAt + 120);
    std::vector<uint32_t> sectors;
    if (size >= miniCutoff) {
        if (!c.chain(start, sectors, why))
            return QStringLiteral("its workbook stream is damaged (%1)").arg(why);
        workbook = c.stream(sectors);
    } else {
        // A small stream lies in the mini stream (the root's data), in 64-byte pieces listed
        // by the mini allocation table.
        std::vector<uint32_t> rootSectors, miniFatChain;
        if (!c.chain(u32(dir, 116), rootSectors, why) || !c.chain(firstMiniFat, miniFatChain, why))
            return QStringLiteral("its mini stream is damaged (%1)").arg(why);
        const QByteArray mini = c.stream(rootSectors).left(qsizetype(std::min<uint64_t>(u32(dir, 120), uint64_t(rootSectors.size()) * uint64_t(c.sectorSize))));
        const QByteArray miniFatBytes = c.stream(miniFatChain);
        const qsizetype miniCount = mini.size() / 64;
        std::vector<bool> seen(size_t(miniCount), false);
        for (uint32_t s = start; s != kEndOfChain;) {
            if (s >= uint64_t(miniCount) || qint64(s) * 4 + 4 > miniFatBytes.size())
                return QStringLiteral("its workbook stream is damaged (a mini chain leaves the stream)");
            if (seen[s])
                return QStringLiteral("its workbook stream is damaged (a mini chain loops)");
            seen[s] = true;
            workbook.append(mini.constData() + qsizetype(s) * 64, 64);
            s = u32(miniFatBytes, qint64(s) * 4);
        }
    }
    if (workbook.size() < qsizetype(size))
        return QStringLiteral("its workbook stream is shorter than its directory says");
    workbook.truncate(qsizetype(size));
    (void)kFree;
    return QString();
}

struct Record {
    uint16_t type;
    qint64 at; // of the data
    int length;
};

// The shared texts of a BIFF8 SST record and its continuations: for each text, its length and
// how many records its characters touch.
void sstTexts(const QByteArray& w, const std::vector<Record>& recs, size_t first, std::vector<std::pair<int, int>>& out)
{
    size_t r = first;
    qint64 pos = recs[r].at + 8;
    qint64 end = recs[r].at + recs[r].length;
    auto nextRecord = [&]() {
        if (r + 1 >= recs.size() || recs[r + 1].type != 0x003C)
            return false;
        ++r;
        pos = recs[r].at;
        end = pos + recs[r].length;
        return true;
    };
    // Skips n bytes of data that may run into continuations.
    auto skip = [&](qint64 n) {
        while (n > 0) {
            if (pos >= end && !nextRecord())
                return false;
            const qint64 step = std::min(n, end - pos);
            pos += step;
            n -= step;
        }
        return true;
    };
    const uint32_t unique = u32(w, recs[first].at + 4);
    for (uint32_t i = 0; i < unique; ++i) {
        if (pos + 3 > end && !(pos == end && nextRecord()))
            return;
        if (pos + 3 > end)
            return;
        const int chars = u16(w, pos);
        uint8_t flags = uint8_t(w[qsizetype(pos + 2)]);
        pos += 3;
        int runs = 0;
        uint32_t ext = 0;
        if (flags & 0x08) {
            if (pos + 2 > end)
                return;
            runs = u16(w, pos);
            pos += 2;
        }
        if (flags & 0x04) {
            if (pos + 4 > end)
                return;
            ext = u32(w, pos);
            pos += 4;
        }
        int left = chars;
        int touched = 1;
        while (left > 0) {
            if (pos >= end) {
                if (!nextRecord() || pos >= end)
                    return;
                flags = uint8_t(w[qsizetype(pos)]); // each continuation restates the width
                ++pos;
                ++touched;
            }
            const int width = (flags & 0x01) ? 2 : 1;
            const int fit = int(std::min<qint64>(left, (end - pos) / width));
            if (fit == 0)
                return;
            pos += qint64(fit) * width;
            left -= fit;
        }
        out.emplace_back(chars, touched);
        if (!skip(qint64(runs) * 4 + ext))
            return;
    }
}

} // namespace

QString CheckXlsFile(const QByteArray& bytes, XlsFacts& facts)
{
    facts = XlsFacts{};
    const QString why = readCompound(bytes, facts.workbook);
    if (!why.isEmpty())
        return why;
    const QByteArray& w = facts.workbook;
    std::vector<Record> recs;
    for (qint64 at = 0; at + 4 <= w.size();) {
        const uint16_t type = u16(w, at);
        const int length = u16(w, at + 2);
        if (type == 0 && length == 0) { // the stream's padding
            bool zeros = true;
            for (qint64 i = at; i < w.size() && zeros; ++i)
                zeros = w[qsizetype(i)] == 0;
            if (zeros)
                break;
        }
        if (length > kMaxRecord || at + 4 + length > w.size())
            return QStringLiteral("its record %1 runs past the workbook stream").arg(recs.size());
        recs.push_back(Record{type, at + 4, length});
        at += 4 + length;
    }
    if (recs.empty() || (recs[0].type & 0x00FF) != 0x09 || recs[0].length < 4)
        return QStringLiteral("its workbook stream does not begin with a BOF record");
    // Every substream (the workbook's globals, each sheet, charts inside sheets) runs from its
    // BOF to its EOF, and each sheet the workbook lists begins with a BOF.
    int depth = 0;
    QSet<qint64> bofs;
    for (const Record& rec : recs) {
        if (rec.type == 0x0809 || rec.type == 0x0409 || rec.type == 0x0209 || rec.type == 0x0009) {
            ++depth;
            bofs.insert(rec.at - 4);
        } else if (rec.type == 0x000A && --depth < 0) {
            return QStringLiteral("its workbook stream has an EOF record without a BOF");
        }
    }
    if (depth != 0)
        return QStringLiteral("its workbook stream has a BOF record without an EOF");
    for (const Record& rec : recs)
        if (rec.type == 0x0085 && (rec.length < 4 || !bofs.contains(u32(w, rec.at))))
            return QStringLiteral("a sheet of its workbook stream does not begin where the workbook says");
    facts.biff8 = recs[0].type == 0x0809 && u16(w, recs[0].at) == 0x0600;
    if (!facts.biff8)
        return QString();

    // Texts libfreexl cannot read, and the first cell that shows one.
    std::vector<std::pair<int, int>> texts;
    QStringList sheetNames;
    for (size_t i = 0; i < recs.size(); ++i) {
        const Record& rec = recs[i];
        if (rec.type == 0x003D && rec.length >= 12 && i > 0 && facts.activeSheet == 0) // WINDOW1
            facts.activeSheet = u16(w, rec.at + 10);
        else if (rec.type == 0x00FC && rec.length >= 8 && texts.empty())
            sstTexts(w, recs, i, texts);
        else if (rec.type == 0x0085 && rec.length >= 8) { // BOUNDSHEET: the sheet's name
            const int chars = uint8_t(w[qsizetype(rec.at + 6)]);
            const bool wide = uint8_t(w[qsizetype(rec.at + 7)]) & 0x01;
            const qint64 nameBytes = qint64(chars) * (wide ? 2 : 1);
            QString name;
            if (8 + nameBytes <= rec.length) {
                if (wide)
                    name = QString::fromUtf16(reinterpret_cast<const char16_t*>(w.constData() + rec.at + 8), chars);
                else
                    name = QString::fromLatin1(w.constData() + rec.at + 8, chars);
            }
            sheetNames << name;
        }
    }
    int longest = -1;
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i].second > 2) {
            longest = int(i);
            break;
        }
    if (longest < 0)
        return QString();
    facts.longTextLength = texts[size_t(longest)].first;
    // Sheets follow the workbook globals in order, each from its BOF; LABELSST cells name texts.
    int sheet = -1;
    for (const Record& rec : recs) {
        if (rec.type == 0x0809)
            ++sheet;
        else if (rec.type == 0x00FD && rec.length >= 10 && int(u32(w, rec.at + 6)) == longest) {
            const QString name = sheet >= 1 && sheet - 1 < sheetNames.size() ? sheetNames[sheet - 1] : QString();
            facts.longTextCell = (name.isEmpty() ? QString() : name + u'!') + XlsxCellName(u16(w, rec.at + 2), u16(w, rec.at));
            break;
        }
    }
    return QString();
}

} // namespace controls::grid::io

// A CSV file imported into the template tables, on arbitrary bytes: decoded, split into rows and
// fields, laid into both tables as the window lays them (objects from column 1, requests from
// column 0) and checked; never a crash. Fields hold no ";" and no blank at either end, and rows
// come in file order.
#include "mbus/master/TemplateTables.h"
#include "mbus/master/TextInput.h"

#include <cstdint>
#include <cstdlib>

namespace {

std::vector<QStringList> table(const std::vector<mbus::master::CsvRow>& rows, int startCol, int cols)
{
    std::vector<QStringList> t;
    for (const mbus::master::CsvRow& r : rows) {
        if (r.row > mbus::master::kTemplateRows)
            break;
        while (int(t.size()) < r.row)
            t.push_back(QStringList(cols, QString()));
        QStringList& cells = t[size_t(r.row - 1)];
        for (int k = 0; k < r.fields.size() && startCol + k < cols; ++k)
            cells[startCol + k] = r.fields[k];
    }
    return t;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::vector<mbus::master::CsvRow> rows = mbus::master::csvRows(mbus::master::decodeTextInput(bytes));
    int last = 0;
    for (const mbus::master::CsvRow& r : rows) {
        if (r.row <= last || r.fields.isEmpty())
            std::abort();
        last = r.row;
        for (const QString& f : r.fields)
            if (f.contains(QLatin1Char(';')) || (!f.isEmpty() && (f.front() <= QLatin1Char(' ') || f.back() <= QLatin1Char(' '))))
                std::abort();
    }
    const mbus::master::TemplateCheck check = mbus::master::checkTemplateTables(
        table(rows, 1, mbus::master::kObjectColumns), table(rows, 0, mbus::master::kRequestColumns));
    for (size_t i = 0; i < check.requests.size(); ++i)
        if (check.requests[i].Step != int32_t(i) + 1)
            std::abort();
    return 0;
}

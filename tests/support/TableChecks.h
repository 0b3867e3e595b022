#pragma once
// Rows for the table checks' tables of cases: a valid row of a section, from defaults by
// attribute, with some cells changed; and the message the check gives for a table of such rows
// (empty when every row passes).
#include "tables/frame/TableDescription.h"
#include "tables/frame/TableModel.h"

#include <QString>
#include <map>
#include <utility>
#include <vector>

namespace testing_support::tables {

using Cells = std::vector<std::pair<const char*, const char*>>;

inline ::tables::RowCells rowOf(const ::tables::TableDescription& desc, int section, const Cells& defaults,
                                const Cells& set = {})
{
    ::tables::RowCells cells;
    for (const ::tables::ColumnDescription& c : desc.sections[size_t(section)].columns) {
        QString v;
        for (const Cells* list : {&defaults, &set})
            for (const auto& [name, value] : *list)
                if (c.attribute == QLatin1String(name))
                    v = QString::fromUtf8(value);
        cells.push_back(v);
    }
    return cells;
}

// The rows go to rows 1, 2, ... of `section`; the other sections stay fresh.
inline QString checkMessage(const ::tables::TableDescription& desc, int section,
                            const std::vector<::tables::RowCells>& rows, const ::tables::RowCheck& check,
                            int capacity = 0)
{
    ::tables::TableModel m = ::tables::TableModel::fresh(desc, capacity > 0 ? capacity : desc.capacity);
    for (size_t r = 0; r < rows.size(); ++r)
        m.sections[size_t(section)][r] = rows[r];
    const ::tables::CheckResult result = ::tables::Controllo_dati(desc, m, check);
    return result.ok ? QString() : result.message;
}

} // namespace testing_support::tables

#pragma once
// Short makers of the column descriptions the table editors list (tables/frame/TableDescription.h).
// A column is required unless it names the text the load writes when the attribute is absent.
#include "tables/frame/TableDescription.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tables::columns {

// The colours the editors give their column groups (0xRRGGBB).
constexpr uint32_t kBlue = 0xE0FAFE;   // the key and what identifies a row
constexpr uint32_t kGreen = 0xCAFFCA;  // timing
constexpr uint32_t kLightGreen = 0xA8FFA8;
constexpr uint32_t kPink = 0xFCD6F4;   // byte positions
constexpr uint32_t kYellow = 0xFFFFA8; // options
constexpr uint32_t kWhite = 0xFFFFFF;  // free descriptions

// Free text.
inline ColumnDescription text(int header, const char* attribute, int width, uint32_t colour,
                              std::optional<QString> absent = std::nullopt)
{
    return {.headerText = header, .attribute = QLatin1String(attribute), .absent = std::move(absent),
            .width = width, .colour = colour};
}

// A pick list whose items are the only choices.
inline ColumnDescription list(int header, const char* attribute, const QStringList& items, int width, uint32_t colour,
                              std::optional<QString> absent = std::nullopt)
{
    ColumnDescription c = text(header, attribute, width, colour, std::move(absent));
    c.editor = Editor::ComboList;
    c.items = items;
    return c;
}

// A check box ("Y" / "N"; a fresh cell is empty and shows unticked).
inline ColumnDescription check(int header, const char* attribute, int width, uint32_t colour,
                               std::optional<QString> absent = std::nullopt)
{
    ColumnDescription c = text(header, attribute, width, colour, std::move(absent));
    c.editor = Editor::DataCheckBox;
    return c;
}

} // namespace tables::columns

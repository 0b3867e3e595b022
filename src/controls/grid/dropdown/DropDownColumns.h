#pragma once
// The columns and items of the list drop-downs (the multi-column and the grid drop-down): a
// column has a width, colour, alignment, font, header text and whether it wraps, ends in "..."
// or sizes itself; an item has one text per column and an image index.
#include "controls/grid/dropdown/rules/Collection.h"
#include "platform/draw/Canvas.h"

#include <QFont>
#include <QStringList>

namespace controls::grid::dropdown {

enum TColumnType { ctText, ctImage };

class TDropDownColumn : public TCollectionItem {
public:
    int Width = 80;
    platform::Color Color = 0xFFFFFF;
    platform::Alignment Alignment = platform::Alignment::taLeftJustify;
    bool Ellipsis = false;
    QFont Font;
    TColumnType ColumnType = ctText;
    QString Header;
    bool Wordwrap = false;
    bool AutoSize = false;
    void Assign(const platform::TPersistent* source) override;
};
using TDropDownColumns = TCollection<TDropDownColumn>;

class TDropDownItem : public TCollectionItem {
public:
    int ImageIndex = -1;
    QStringList Text;
    // Copies the image index and the texts (a copy of an item is the whole item).
    void Assign(const platform::TPersistent* source) override;
    // The item's text for a column; empty where the item has none.
    QString TextAt(int column) const { return column >= 0 && column < Text.size() ? Text.at(column) : QString(); }
};

class TDropDownItems : public TCollection<TDropDownItem> {
public:
    // The first item whose text at column equals value (case-sensitive); items with fewer texts
    // are skipped. -1 when none.
    int IndexInColumn(int column, const QString& value) const;
};

} // namespace controls::grid::dropdown

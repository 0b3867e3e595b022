#include "controls/grid/dropdown/DropDownColumns.h"

namespace controls::grid::dropdown {

void TDropDownColumn::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TDropDownColumn*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    Width = s->Width;
    Color = s->Color;
    Alignment = s->Alignment;
    Ellipsis = s->Ellipsis;
    Font = s->Font;
    ColumnType = s->ColumnType;
    Header = s->Header;
    Wordwrap = s->Wordwrap;
    AutoSize = s->AutoSize;
}

void TDropDownItem::Assign(const platform::TPersistent* source)
{
    const auto* s = dynamic_cast<const TDropDownItem*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    ImageIndex = s->ImageIndex;
    Text = s->Text;
}

int TDropDownItems::IndexInColumn(int column, const QString& value) const
{
    for (int i = 0; i < Count(); ++i) {
        const QStringList& t = Items(i)->Text;
        if (column >= 0 && column < t.size() && t.at(column) == value)
            return i;
    }
    return -1;
}

} // namespace controls::grid::dropdown

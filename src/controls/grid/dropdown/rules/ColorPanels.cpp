#include "controls/grid/dropdown/rules/ColorPanels.h"

namespace controls::grid::dropdown {

namespace {

const std::array<std::vector<Color>, 13> kCubeRows{{
    {0x663300, 0x996633, 0xCC6633, 0x993300, 0x990000, 0xCC0000, 0x660000},
    {0x666600, 0x996600, 0xCC9900, 0xCC6600, 0xCC3300, 0xFF0000, 0xFF3333, 0x993333},
    {0x808000, 0x999900, 0xCCCC33, 0xFFCC00, 0xFF9900, 0xFF6600, 0xFF6633, 0xCC3333, 0x996666},
    {0x669933, 0x99CC00, 0xCCFF00, 0xFFFF00, 0xFFCC33, 0xFF9933, 0xFF9966, 0xFF6666, 0xFF0066, 0xCC0066},
    {0x339933, 0x66CC00, 0x99FF00, 0xCCFF66, 0xFFFF66, 0xFFCC66, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399, 0xFF0099},
    {0x006600, 0x00CC00, 0x00FF00, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFECCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC, 0xFF00CC,
     0xCC0099},
    {0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF, 0xFF66FF, 0xFF00FF,
     0xCC00CC, 0x660066},
    {0x006633, 0x009900, 0x33FF66, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCCCFF, 0xCC99FF, 0xCC66FF, 0xCC33FF, 0x9900CC,
     0x800080},
    {0x003333, 0x009966, 0x33FF99, 0x66FFCC, 0x99FFFF, 0x99CCFF, 0x9999FF, 0x9966FF, 0x9933FF, 0x9933CC, 0x990099},
    {0x336666, 0x00CC99, 0x33FFCC, 0x66FFFF, 0x66CCFF, 0x6699FF, 0x807CFF, 0x6600FF, 0x9300D6, 0x663399},
    {0x008080, 0x00CCCC, 0x00FFFF, 0x00CCFF, 0x3399FF, 0x0066FF, 0x5050FF, 0x6600CC, 0x330066},
    {0x336699, 0x0099CC, 0x0099FF, 0x0066CC, 0x0033FF, 0x0000FF, 0x0000CC, 0x330099},
    {0x003366, 0x006699, 0x0033CC, 0x003399, 0x000099, 0x000080, 0x2100A5},
}};

std::array<TCubeCell, 127> BuildCells()
{
    std::array<TCubeCell, 127> cells{};
    int n = 0;
    for (int r = 1; r <= 13; ++r) {
        const int startX = r <= 7 ? 55 - 6 * (r - 1) : 19 + 6 * (r - 7);
        const int y = 20 + 10 * (r - 1);
        const auto& colors = kCubeRows[size_t(r - 1)];
        for (size_t i = 0; i < colors.size(); ++i)
            cells[size_t(n++)] = TCubeCell{QPoint(startX + 12 * int(i), y), colors[i]};
    }
    return cells;
}

const std::array<std::array<Color, 10>, 6> kThemeRows{{
    {0xFFFFFF, 0x000000, 0xE1ECEE, 0x7D491F, 0xBD814F, 0x4D50C0, 0x59BB9B, 0xA26480, 0xC6AC4B, 0x4696F7},
    {0xF2F2F2, 0x7F7F7F, 0xC3D9DD, 0xDACEC2, 0xF1E5DB, 0xDBDCF2, 0xDDF1EB, 0xECE0E5, 0xF3EEDB, 0xDAEAFD},
    {0xD8D8D8, 0x595959, 0x97BDC4, 0xE2B38D, 0xE4CCB8, 0xB7B9E5, 0xBCE3D7, 0xD9C1CC, 0xE8DDB7, 0xB5D5FB},
    {0xBFBFBF, 0x3F3F3F, 0x538993, 0xD48D54, 0xD7B395, 0x9496D9, 0x9BD6C3, 0xC7A2B2, 0xDCCD92, 0x8FC0FA},
    {0xA5A5A5, 0x262626, 0x294449, 0x5D3617, 0x926036, 0x343795, 0x3C9276, 0x7A495F, 0x9B8531, 0x096CE3},
    {0x7F7F7F, 0x0C0C0C, 0x101B1D, 0x3E240F, 0x614024, 0x232463, 0x28614F, 0x51313F, 0x675820, 0x064897},
}};

} // namespace

const std::array<TCubeCell, 127>& CubeCells()
{
    static const std::array<TCubeCell, 127> cells = BuildCells();
    return cells;
}

int CubeCellAtPos(int x, int y)
{
    const auto& cells = CubeCells();
    for (size_t i = 0; i < cells.size(); ++i) {
        const int dx = x - cells[i].center.x(), dy = y - cells[i].center.y();
        if (dx * dx + dy * dy <= 36)
            return int(i) + 1;
    }
    return -1;
}

std::array<QPoint, 6> CubeHexagon(QPoint c, int a, int b)
{
    return {QPoint(c.x() - b, c.y() - a), QPoint(c.x(), c.y() - 2 * a), QPoint(c.x() + b, c.y() - a),
            QPoint(c.x() + b, c.y() + a), QPoint(c.x(), c.y() + 2 * a), QPoint(c.x() - b, c.y() + a)};
}

void TCubeSelection::Set(Color color, int index)
{
    SelectedColor = color;
    if (index >= 1 && index <= 127) {
        SelectedIndex = index;
        return;
    }
    SelectedIndex = -1;
    const auto& cells = CubeCells();
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].color == color) {
            SelectedIndex = int(i) + 1;
            return;
        }
    }
}

TSpectrumLayout ArrangeSpectrum()
{
    TSpectrumLayout l;
    l.panel = QSize(150, 174);
    const int left = (l.panel.width() - 128) / 2;
    l.picture = Rect{left, 10, left + 128, 10 + 128};
    l.selectedSwatch = Rect{l.picture.left - 1, l.picture.bottom + 8, l.picture.left + 128 / 2 - 2, l.picture.bottom + 28};
    l.hotSwatch = Rect{l.selectedSwatch.right + 4, l.selectedSwatch.top, l.picture.right + 1, l.selectedSwatch.bottom};
    return l;
}

// --- theme palette -----------------------------------------------------------------------------------------

void TColorBoxModel::AddThemeColors()
{
    Items.clear();
    const TItemPos rowPos[6] = {ipStandAlone, ipTop, ipMiddle, ipMiddle, ipMiddle, ipBottom};
    for (int r = 0; r < 6; ++r) {
        for (Color c : kThemeRows[size_t(r)]) {
            TColorBox box;
            box.color = c;
            box.pos = rowPos[r];
            Items.push_back(box);
        }
    }
}

QSize TColorBoxModel::ArrangeBoxes()
{
    if (Items.empty())
        return QSize(100, 50);
    ItemHot = -1;
    const int areaLeft = OffSetX, areaTop = OffSetY;
    int x = areaLeft, y = areaTop, inRow = 0, rememberedLeft = 0, lastLeft = areaLeft;
    bool rowNeedsGap = false;
    for (size_t i = 0; i < Items.size(); ++i) {
        Items[i].rect = Rect{x, y, x + ColorBoxWidth, y + ColorBoxHeight};
        lastLeft = x;
        if (i + 1 == Items.size())
            break;
        if (Items[i].pos == ipStandAlone)
            rowNeedsGap = true;
        if (++inRow >= Columns) {
            rememberedLeft = std::max(rememberedLeft, x);
            x = areaLeft;
            y += ColorBoxHeight + (rowNeedsGap ? ColumnGap : 0);
            rowNeedsGap = false;
            inRow = 0;
        } else {
            x += ColorBoxWidth + ColumnGap;
        }
    }
    return QSize(std::max(lastLeft, rememberedLeft) + ColorBoxWidth + areaLeft + 1, y + ColorBoxHeight + areaTop);
}

int TColorBoxModel::BoxAtPos(int x, int y) const
{
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i].rect.contains(x, y))
            return int(i);
    return -1;
}

void TColorBoxModel::SetItemIndex(int index)
{
    if (Valid(index) && !Items[size_t(index)].enabled)
        return;
    if (ItemIndex >= 0 && ItemIndex != index) {
        const int old = ItemIndex;
        ItemIndex = -1;
        if (InvalidateBox)
            InvalidateBox(old);
    }
    ItemIndex = index;
    if (index < 0 || !Valid(index))
        return;
    SelectedColor = Items[size_t(index)].color;
    if (DrawBox)
        DrawBox(index);
    if (OnItemSelect)
        OnItemSelect();
}

void TColorBoxModel::SetItemHot(int index)
{
    if (index == ItemHot || (Valid(index) && !Items[size_t(index)].enabled))
        return;
    if (ItemHot >= 0) {
        const int old = ItemHot;
        ItemHot = -1;
        if (InvalidateBox)
            InvalidateBox(old);
    }
    ItemHot = index;
    if (index >= 0 && DrawBox)
        DrawBox(index);
}

void TColorBoxModel::SetSelectedColor(Color color)
{
    if (color == SelectedColor)
        return;
    SelectedColor = color;
    int found = -1;
    if (color != clNone) {
        for (size_t i = 0; i < Items.size(); ++i) {
            if (Items[i].color == color) {
                found = int(i);
                break;
            }
        }
    }
    if (found >= 0) {
        SetItemIndex(found);
    } else if (ItemIndex >= 0) {
        const int old = ItemIndex;
        ItemIndex = -1;
        if (InvalidateBox)
            InvalidateBox(old);
    }
}

void TColorBoxModel::SelectFirst()
{
    if (!Items.empty())
        SetItemIndex(0);
}

void TColorBoxModel::SelectLast()
{
    if (!Items.empty())
        SetItemIndex(int(Items.size()) - 1);
}

void TColorBoxModel::SelectNext()
{
    if (ItemIndex < 0)
        SelectFirst();
    else if (Valid(ItemIndex + 1))
        SetItemIndex(ItemIndex + 1);
}

void TColorBoxModel::SelectPrevious()
{
    if (ItemIndex - 1 >= 0)
        SetItemIndex(ItemIndex - 1);
}

void TColorBoxModel::HotNext()
{
    if (ItemHot < 0) {
        if (!Items.empty())
            SetItemHot(0);
    } else if (Valid(ItemHot + 1)) {
        SetItemHot(ItemHot + 1);
    }
}

void TColorBoxModel::HotPrevious()
{
    if (ItemHot - 1 >= 0)
        SetItemHot(ItemHot - 1);
}

void TColorBoxModel::HandleKey(quint16 key, bool editorEnabled, bool droppedDown)
{
    switch (key) {
    case platform::VK_PRIOR:
    case platform::VK_HOME:
        SelectFirst();
        break;
    case platform::VK_NEXT:
    case platform::VK_END:
        SelectLast();
        break;
    case platform::VK_LEFT:
        if (!(editorEnabled && !droppedDown))
            SelectPrevious();
        break;
    case platform::VK_RIGHT:
        if (!(editorEnabled && !droppedDown))
            SelectNext();
        break;
    case platform::VK_UP:
    case platform::VK_DOWN: {
        const bool up = key == platform::VK_UP;
        if (!droppedDown) {
            if (up)
                SelectPrevious();
            else
                SelectNext();
            break;
        }
        const int target = ItemIndex < 0 ? 0 : ItemIndex + (up ? -Columns : Columns);
        if (Valid(target))
            SetItemIndex(target);
        break;
    }
    default:
        break;
    }
}

void TColorBoxModel::MouseDown(int x, int y)
{
    const int i = BoxAtPos(x, y);
    if (i >= 0 && Items[size_t(i)].enabled)
        SetItemIndex(i);
}

void TColorBoxModel::MouseMove(int x, int y)
{
    const int i = BoxAtPos(x, y);
    if (i >= 0)
        SetItemHot(Items[size_t(i)].enabled ? i : -1);
    else if (ItemHot >= 0)
        SetItemHot(-1);
}

} // namespace controls::grid::dropdown

// The column grid's layout kept outside the window: the columns stream and the column
// position keys.
#include "controls/grid/column/ColumnGrid.h"
#include "controls/grid/io/ColumnStates.h"
#include "controls/grid/io/ComponentStream.h"
#include "controls/grid/io/EnumNames.h"
#include "controls/grid/io/IniFile.h"

#include <set>

namespace controls::grid {

using namespace io;

namespace {

inline constexpr TNames<4> kBorderNames{"cbTop", "cbLeft", "cbRight", "cbBottom"};
inline constexpr TNames<3> kPenStyleNames{"psSolid", "psDot", "psClear"};
inline constexpr TNames<20> kSortStyleNames{"ssAutomatic", "ssAlphabetic", "ssNumeric", "ssDate", "ssAlphaNoCase",
                                            "ssAlphaCase", "ssShortDateEU", "ssShortDateUS", "ssCustom",
                                            "ssFinancial", "ssAnsiAlphaCase", "ssAnsiAlphaNoCase", "ssRaw",
                                            "ssHTML", "ssImages", "ssCheckBox", "ssDateTime", "ssTime",
                                            "ssAlphaNumeric", "ssAlphaNumericNoCase"};

QStringList linesOf(const platform::TStringList& l)
{
    QStringList out;
    for (int i = 0; i < l.Count(); ++i)
        out << l.Strings(i);
    return out;
}

void writePen(TComponentWriter& w, const QString& name, const platform::Pen& pen)
{
    w.Integer(name + ".Color", qint64(pen.color));
    w.Ident(name + ".Style", NameOf(kPenStyleNames, int(pen.style)));
    w.Integer(name + ".Width", pen.width);
}

void writeFont(TComponentWriter& w, const QString& name, const platform::Font& f)
{
    w.Integer(name + ".Color", qint64(f.color));
    w.Integer(name + ".Size", FontPointSize(f.font));
    w.Text(name + ".Name", f.font.family());
    w.Set(name + ".Style", SetNames(kFontStyleNames, FontStylesOf(f.font)));
}

// One item's properties as read and checked, applied only when the whole stream is good.
struct ItemValues {
    std::vector<std::function<void(TGridColumnItem&)>> apply;
};

[[noreturn]] void badProperty(const QString& name)
{
    throw EReadError(QStringLiteral("Invalid property value of %1").arg(name));
}

int64_t intValue(const TStreamValue& v, const QString& name)
{
    if (!v.IsInteger())
        badProperty(name);
    return v.Int;
}

bool boolValue(const TStreamValue& v, const QString& name)
{
    if (v.Tag != vaTrue && v.Tag != vaFalse)
        badProperty(name);
    return v.Int != 0;
}

QString textValue(const TStreamValue& v, const QString& name)
{
    if (!v.IsText())
        badProperty(name);
    return v.Text;
}

template <size_t N>
int identValue(const TStreamValue& v, const QString& name, const TNames<N>& names)
{
    const int i = v.Tag == vaIdent ? IndexOfName(names, v.Text) : -1;
    if (i < 0)
        badProperty(name);
    return i;
}

QStringList listValue(const TStreamValue& v, const QString& name)
{
    if (v.Tag != vaList)
        badProperty(name);
    QStringList out;
    for (const TStreamValue& e : v.List)
        out << textValue(e, name);
    return out;
}

ItemValues checkItem(const TStreamItem& props)
{
    ItemValues out;
    auto add = [&out](std::function<void(TGridColumnItem&)> f) { out.apply.push_back(std::move(f)); };
    for (const TStreamProperty& p : props) {
        const QString& n = p.Name;
        const TStreamValue& v = p.Value;
        auto fontPart = [&](const QString& prefix, std::function<platform::Font(TGridColumnItem&)> get,
                            std::function<void(TGridColumnItem&, const platform::Font&)> set) -> bool {
            if (!n.startsWith(prefix + u'.'))
                return false;
            const QString part = n.mid(prefix.size() + 1);
            if (part == QLatin1String("Color")) {
                const Color c = Color(quint32(intValue(v, n)));
                add([=](TGridColumnItem& i) { platform::Font f = get(i); f.color = c; set(i, f); });
            } else if (part == QLatin1String("Size")) {
                const int size = int(std::clamp<int64_t>(intValue(v, n), 1, 1000));
                add([=](TGridColumnItem& i) { platform::Font f = get(i); f.font.setPointSize(size); set(i, f); });
            } else if (part == QLatin1String("Name")) {
                const QString family = textValue(v, n);
                add([=](TGridColumnItem& i) { platform::Font f = get(i); f.font.setFamily(family); set(i, f); });
            } else if (part == QLatin1String("Style")) {
                if (v.Tag != vaSet)
                    badProperty(n);
                const unsigned bits = SetBits(kFontStyleNames, v.Set);
                add([=](TGridColumnItem& i) { platform::Font f = get(i); ApplyFontStyles(f.font, bits); set(i, f); });
            } else {
                badProperty(n);
            }
            return true;
        };
        auto penPart = [&](const QString& prefix, std::function<platform::Pen(TGridColumnItem&)> get,
                           std::function<void(TGridColumnItem&, const platform::Pen&)> set) -> bool {
            if (!n.startsWith(prefix + u'.'))
                return false;
            const QString part = n.mid(prefix.size() + 1);
            if (part == QLatin1String("Color")) {
                const Color c = Color(quint32(intValue(v, n)));
                add([=](TGridColumnItem& i) { platform::Pen pen = get(i); pen.color = c; set(i, pen); });
            } else if (part == QLatin1String("Width")) {
                const int width = int(std::clamp<int64_t>(intValue(v, n), 0, 100));
                add([=](TGridColumnItem& i) { platform::Pen pen = get(i); pen.width = width; set(i, pen); });
            } else if (part == QLatin1String("Style")) {
                const auto style = platform::PenStyle(identValue(v, n, kPenStyleNames));
                add([=](TGridColumnItem& i) { platform::Pen pen = get(i); pen.style = style; set(i, pen); });
            } else {
                badProperty(n);
            }
            return true;
        };
        if (fontPart("Font", [](TGridColumnItem& i) { return i.Font(); },
                     [](TGridColumnItem& i, const platform::Font& f) { i.SetFont(f); })
            || fontPart("HeaderFont", [](TGridColumnItem& i) { return i.HeaderFont(); },
                        [](TGridColumnItem& i, const platform::Font& f) { i.SetHeaderFont(f); })
            || fontPart("PrintFont", [](TGridColumnItem& i) { return i.PrintFont; },
                        [](TGridColumnItem& i, const platform::Font& f) { i.PrintFont = f; })
            || penPart("BorderPen", [](TGridColumnItem& i) { return i.BorderPen(); },
                       [](TGridColumnItem& i, const platform::Pen& p2) { i.SetBorderPen(p2); })
            || penPart("PrintBorderPen", [](TGridColumnItem& i) { return i.PrintBorderPen; },
                       [](TGridColumnItem& i, const platform::Pen& p2) { i.PrintBorderPen = p2; }))
            continue;
        auto intProp = [&](const char* name, std::function<void(TGridColumnItem&, int)> set) {
            if (n != QLatin1String(name))
                return false;
            const int x = int(std::clamp<int64_t>(intValue(v, n), INT32_MIN, INT32_MAX));
            add([=](TGridColumnItem& i) { set(i, x); });
            return true;
        };
        auto boolProp = [&](const char* name, std::function<void(TGridColumnItem&, bool)> set) {
            if (n != QLatin1String(name))
                return false;
            const bool x = boolValue(v, n);
            add([=](TGridColumnItem& i) { set(i, x); });
            return true;
        };
        auto textProp = [&](const char* name, std::function<void(TGridColumnItem&, const QString&)> set) {
            if (n != QLatin1String(name))
                return false;
            const QString x = textValue(v, n);
            add([=](TGridColumnItem& i) { set(i, x); });
            return true;
        };
        if (intProp("AutoMinSize", [](TGridColumnItem& i, int x) { i.AutoMinSize = x; })
            || intProp("AutoMaxSize", [](TGridColumnItem& i, int x) { i.AutoMaxSize = x; })
            || intProp("Color", [](TGridColumnItem& i, int x) { i.SetColor(Color(quint32(x))); })
            || intProp("DropDownCount", [](TGridColumnItem& i, int x) { i.DropDownCount = x; })
            || intProp("EditLength", [](TGridColumnItem& i, int x) { i.EditLength = x; })
            || intProp("MinSize", [](TGridColumnItem& i, int x) { i.MinSize = x; })
            || intProp("MaxSize", [](TGridColumnItem& i, int x) { i.MaxSize = x; })
            || intProp("PrintColor", [](TGridColumnItem& i, int x) { i.PrintColor = Color(quint32(x)); })
            || intProp("SpinMax", [](TGridColumnItem& i, int x) { i.SpinMax = x; })
            || intProp("SpinMin", [](TGridColumnItem& i, int x) { i.SpinMin = x; })
            || intProp("SpinStep", [](TGridColumnItem& i, int x) { i.SpinStep = x; })
            || intProp("Tag", [](TGridColumnItem& i, int x) { i.Tag = x; })
            || boolProp("FilterCaseSensitive", [](TGridColumnItem& i, bool x) { i.FilterCaseSensitive = x; })
            || boolProp("Fixed", [](TGridColumnItem& i, bool x) { i.SetFixed(x); })
            || boolProp("Password", [](TGridColumnItem& i, bool x) { i.SetPassword(x); })
            || boolProp("PrintBorderCustom", [](TGridColumnItem& i, bool x) { i.PrintBorderCustom = x; })
            || boolProp("PrintFontCustom", [](TGridColumnItem& i, bool x) { i.PrintFontCustom = x; })
            || boolProp("ReadOnly", [](TGridColumnItem& i, bool x) { i.ReadOnly = x; })
            || boolProp("ShowBands", [](TGridColumnItem& i, bool x) { i.SetShowBands(x); })
            || textProp("CheckFalse", [](TGridColumnItem& i, const QString& x) { i.CheckFalse = x; })
            || textProp("CheckTrue", [](TGridColumnItem& i, const QString& x) { i.CheckTrue = x; })
            || textProp("EditMask", [](TGridColumnItem& i, const QString& x) { i.EditMask = x; })
            || textProp("FloatFormat", [](TGridColumnItem& i, const QString& x) { i.SetFloatFormat(x); })
            || textProp("Header", [](TGridColumnItem& i, const QString& x) { i.SetHeader(x); })
            || textProp("Name", [](TGridColumnItem& i, const QString& x) { i.Name = x; })
            || textProp("SortPrefix", [](TGridColumnItem& i, const QString& x) { i.SortPrefix = x; })
            || textProp("SortSuffix", [](TGridColumnItem& i, const QString& x) { i.SortSuffix = x; }))
            continue;
        if (n == QLatin1String("Width")) {
            const int w = int(intValue(v, n));
            if (w < 0 || w > 32767)
                badProperty(n);
            add([=](TGridColumnItem& i) { i.SetWidth(w); });
        } else if (n == QLatin1String("Alignment") || n == QLatin1String("HeaderAlignment")) {
            const auto a = platform::Alignment(identValue(v, n, kAlignmentNames));
            const bool header = n == QLatin1String("HeaderAlignment");
            add([=](TGridColumnItem& i) { header ? i.SetHeaderAlignment(a) : i.SetAlignment(a); });
        } else if (n == QLatin1String("Borders") || n == QLatin1String("PrintBorders")) {
            if (v.Tag != vaSet)
                badProperty(n);
            const unsigned bits = SetBits(kBorderNames, v.Set);
            const bool print = n == QLatin1String("PrintBorders");
            add([=](TGridColumnItem& i) { print ? void(i.PrintBorders = bits) : i.SetBorders(bits); });
        } else if (n == QLatin1String("Editor")) {
            const auto e = TEditorType(identValue(v, n, kEditorNames));
            add([=](TGridColumnItem& i) { i.SetEditor(e); });
        } else if (n == QLatin1String("SortStyle")) {
            const auto st = TSortStyle(identValue(v, n, kSortStyleNames));
            add([=](TGridColumnItem& i) { i.SortStyle = st; });
        } else if (n == QLatin1String("ComboItems.Strings") || n == QLatin1String("Filter.Strings")) {
            const QStringList lines = listValue(v, n);
            const bool combo = n.startsWith(QLatin1String("Combo"));
            add([=](TGridColumnItem& i) {
                platform::TStringList l;
                l.AddStrings(lines);
                combo ? i.SetComboItems(l) : i.SetFilter(l);
            });
        } else {
            badProperty(n);
        }
    }
    return out;
}

} // namespace

void TExtColumnGrid::SaveColumnsToStream(QByteArray& out)
{
    TComponentWriter w(out);
    w.BeginObject(QStringLiteral("TExtColumnGridIO"));
    w.BeginCollection(QStringLiteral("Items"));
    for (int c = 0; c < Columns().Count(); ++c) {
        const TGridColumnItem& i = *Columns().Items(c);
        w.BeginItem();
        w.Integer(QStringLiteral("AutoMinSize"), i.AutoMinSize);
        w.Integer(QStringLiteral("AutoMaxSize"), i.AutoMaxSize);
        w.Ident(QStringLiteral("Alignment"), NameOf(kAlignmentNames, int(i.Alignment())));
        w.Set(QStringLiteral("Borders"), SetNames(kBorderNames, i.Borders()));
        writePen(w, QStringLiteral("BorderPen"), i.BorderPen());
        w.Text(QStringLiteral("CheckFalse"), i.CheckFalse);
        w.Text(QStringLiteral("CheckTrue"), i.CheckTrue);
        w.Integer(QStringLiteral("Color"), qint64(i.GetColor()));
        if (!i.ComboItems().IsEmpty())
            w.StringList(QStringLiteral("ComboItems.Strings"), linesOf(i.ComboItems()));
        w.Integer(QStringLiteral("DropDownCount"), i.DropDownCount);
        w.Integer(QStringLiteral("EditLength"), i.EditLength);
        w.Text(QStringLiteral("EditMask"), i.EditMask);
        w.Ident(QStringLiteral("Editor"), NameOf(kEditorNames, int(i.Editor())));
        if (!i.Filter().IsEmpty())
            w.StringList(QStringLiteral("Filter.Strings"), linesOf(i.Filter()));
        w.Boolean(QStringLiteral("FilterCaseSensitive"), i.FilterCaseSensitive);
        w.Boolean(QStringLiteral("Fixed"), i.Fixed());
        w.Text(QStringLiteral("FloatFormat"), i.FloatFormat());
        writeFont(w, QStringLiteral("Font"), i.Font());
        w.Text(QStringLiteral("Header"), i.Header());
        w.Ident(QStringLiteral("HeaderAlignment"), NameOf(kAlignmentNames, int(i.HeaderAlignment())));
        writeFont(w, QStringLiteral("HeaderFont"), i.HeaderFont());
        w.Integer(QStringLiteral("MinSize"), i.MinSize);
        w.Integer(QStringLiteral("MaxSize"), i.MaxSize);
        w.Text(QStringLiteral("Name"), i.Name);
        w.Boolean(QStringLiteral("Password"), i.Password());
        // ColumnPopupType, PrintBorderCustom and PrintFontCustom are not copied into the
        // stream's items: they stay at their defaults (and the defaults are not written).
        w.Set(QStringLiteral("PrintBorders"), SetNames(kBorderNames, i.PrintBorders));
        writePen(w, QStringLiteral("PrintBorderPen"), i.PrintBorderPen);
        w.Integer(QStringLiteral("PrintColor"), qint64(i.PrintColor));
        writeFont(w, QStringLiteral("PrintFont"), i.PrintFont);
        w.Boolean(QStringLiteral("ReadOnly"), i.ReadOnly);
        w.Boolean(QStringLiteral("ShowBands"), i.ShowBands());
        w.Ident(QStringLiteral("SortStyle"), NameOf(kSortStyleNames, int(i.SortStyle)));
        w.Text(QStringLiteral("SortPrefix"), i.SortPrefix);
        w.Text(QStringLiteral("SortSuffix"), i.SortSuffix);
        w.Integer(QStringLiteral("SpinMax"), i.SpinMax);
        w.Integer(QStringLiteral("SpinMin"), i.SpinMin);
        w.Integer(QStringLiteral("SpinStep"), i.SpinStep);
        w.Integer(QStringLiteral("Tag"), i.Tag);
        w.Integer(QStringLiteral("Width"), colWidths(c < ColCount() ? c : 0));
        w.EndItem();
    }
    w.EndCollection();
    w.EndObject();
}

void TExtColumnGrid::LoadColumnsFromStream(const QByteArray& data, qsizetype& pos)
{
    TComponentReader reader(data, pos);
    const TStreamObject o = reader.ReadObject();
    if (o.ClassName != QLatin1String("TExtColumnGridIO"))
        throw EReadError(QStringLiteral("Invalid stream format: TExtColumnGridIO expected"));
    std::vector<ItemValues> items;
    for (const TStreamProperty& p : o.Properties) {
        if (p.Name != QLatin1String("Items") || p.Value.Tag != vaCollection)
            badProperty(p.Name);
        for (const TStreamItem& item : p.Value.Collection)
            items.push_back(checkItem(item));
    }
    // The whole stream is good: the collection becomes the stream's items.
    const int cols = ColCount();
    Columns().NoRecursiveUpdate = true;
    while (Columns().Count() > int(items.size()))
        Columns().Delete(Columns().Count() - 1);
    while (Columns().Count() < int(items.size()))
        Columns().Add();
    for (size_t k = 0; k < items.size(); ++k) {
        TGridColumnItem& item = *Columns().Items(int(k));
        item.PrintBorderCustom = true;
        item.PrintFontCustom = true;
        item.ColumnPopupType = cpFixedCellsRClick;
        for (const auto& apply : items[k].apply)
            apply(item);
        if (int(k) < ColCount())
            setColWidths(int(k), item.Width());
    }
    Columns().NoRecursiveUpdate = false;
    if (ColCount() != cols)
        SetColCount(cols);
    pos = reader.Position();
    invalidate();
}

void TExtColumnGrid::SaveColumnPositions(const QString& key, const QString& section)
{
    TIniFile ini(key);
    for (int n = 0; n < Columns().Count(); ++n)
        ini.WriteInteger(section, QStringLiteral("CP%1").arg(n), Columns().Items(n)->DefIdx);
    ini.UpdateFile();
}

void TExtColumnGrid::LoadColumnPositions(const QString& key, const QString& section)
{
    const TIniFile ini(key);
    const int n = Columns().Count();
    std::vector<int> values;
    std::set<int> seen;
    for (int i = 0; i < n; ++i) {
        const int v = ini.ReadInteger(section, QStringLiteral("CP%1").arg(i), -1);
        // A missing key, a value outside the items or a duplicate: nothing changes.
        if (v < 0 || v >= n || !seen.insert(v).second)
            return;
        values.push_back(v);
    }
    ResetColumnOrder();
    for (int i = 0; i < n; ++i)
        Columns().Items(values[size_t(i)])->DefIdx = i;
    Columns().ResetOrganization();
    for (int i = 0; i < n; ++i)
        Columns().Items(i)->DefIdx = values[size_t(i)];
}

void TExtColumnGrid::SaveColPositions()
{
    if (ColumnSize.Location == clIniFile)
        SaveColumnPositions(ColumnSize.Key, ColumnSize.Section);
    else
        io::SaveColPositions(*this);
}

void TExtColumnGrid::LoadColPositions()
{
    if (ColumnSize.Location == clIniFile)
        LoadColumnPositions(ColumnSize.Key, ColumnSize.Section);
    else
        io::LoadColPositions(*this);
}

} // namespace controls::grid

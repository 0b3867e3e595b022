#include "controls/grid/io/ColumnStates.h"

#include "controls/grid/io/IniFile.h"
#include "controls/grid/io/TextCodec.h"
#include "controls/grid/io/TextCellFile.h"
#include "platform/core/Errors.h"
#include "platform/fs/Files.h"
#include "platform/text/Text.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <set>

namespace controls::grid::io {

namespace {

std::optional<std::vector<int>> intList(const QString& field, bool allowEmpty)
{
    std::vector<int> out;
    if (field.isEmpty())
        return allowEmpty ? std::optional(out) : std::nullopt;
    for (const QString& p : field.split(u',')) {
        const auto v = platform::toInt(p.trimmed());
        if (!v)
            return std::nullopt;
        out.push_back(*v);
    }
    return out;
}

bool isPermutation(const std::vector<int>& order, int n)
{
    std::set<int> seen;
    for (int v : order) {
        if (v == -1)
            continue;
        if (v < 0 || v >= n || !seen.insert(v).second)
            return false;
    }
    return true;
}

} // namespace

void ArrangeColumns(TExtStringGridPaint& g, const std::vector<int>& order)
{
    g.ResetColumnOrder();
    g.SetColumnOrder();
    const bool enh = g.EnhRowColMove;
    g.EnhRowColMove = true;
    int p = 0;
    for (int designed : order) {
        if (designed < 0)
            continue;
        const int at = g.ColumnPosition(designed);
        if (at != p && at >= 0 && at < g.ColCount())
            g.MoveColumn(at, p);
        ++p;
    }
    g.EnhRowColMove = enh;
}

QString ColumnStatesToString(TExtStringGridPaint& g)
{
    const int n = g.ColCount() + g.NumHiddenColumns();
    QStringList widths, order, visible;
    for (int i = 0; i < n; ++i)
        widths << QString::number(i < g.ColCount() ? g.colWidths(i) : g.defaultColWidth());
    const TIntList& list = g.ColumnOrder();
    for (int i = 0; i < n; ++i)
        order << QString::number(list.Count() > 0 && i < list.Count() ? list[i] : i);
    for (int i = 0; i < n; ++i)
        visible << (g.IsHiddenColumn(i) ? QStringLiteral("0") : QStringLiteral("1"));
    return QString::number(n) + u'#' + widths.join(u',') + u'#' + order.join(u',') + u'#' + visible.join(u',');
}

void StringToColumnStates(TExtStringGridPaint& g, const QString& value)
{
    if (!value.contains(u'#'))
        return;
    const QStringList fields = value.split(u'#');
    const auto n = platform::toInt(fields[0].trimmed());
    auto bad = [&]() { throw platform::EConvertError(QStringLiteral("Invalid column states: ") + value.left(80)); };
    if (!n || *n < 1 || *n > kMaxFileCols || fields.size() != 4)
        bad();
    const auto widths = intList(fields[1], false);
    const auto order = intList(fields[2], true);
    const auto visible = intList(fields[3], false);
    if (!widths || !order || !visible || int(widths->size()) != *n || int(visible->size()) != *n
        || (!order->empty() && (int(order->size()) != *n || !isPermutation(*order, *n))))
        bad();
    for (int w : *widths)
        if (w < 0 || w > kMaxCellExtent)
            bad();
    for (int v : *visible)
        if (v != 0 && v != 1)
            bad();
    // Everything checked: apply.
    g.UnHideColumnsAll();
    g.SetColCount(*n);
    if (!order->empty())
        ArrangeColumns(g, *order);
    for (int c = *n - 1; c >= 0; --c)
        if ((*visible)[size_t(c)] == 0)
            g.HideColumn(c);
    const bool stretch = g.ColumnSize.Stretch();
    if (stretch)
        g.ColumnSize.SetStretch(false);
    for (int i = 0; i < g.ColCount(); ++i)
        g.setColWidths(i, (*widths)[size_t(i)]);
    if (stretch)
        g.ColumnSize.SetStretch(true);
}

QString ColumnSizeFile(const TExtStringGridPaint& g)
{
    if (g.ColumnSize.Key.isEmpty() || g.ColumnSize.Section.isEmpty())
        return QString();
    return g.ColumnSize.Location == clIniFile ? g.ColumnSize.Key : RegistryFileName(g.ColumnSize.Key);
}

void SaveColSizes(TExtStringGridPaint& g)
{
    const QString file = ColumnSizeFile(g);
    if (file.isEmpty())
        return;
    TIniFile ini(file);
    for (int i = 0; i < g.ColCount(); ++i)
        ini.WriteInteger(g.ColumnSize.Section, QStringLiteral("Col%1").arg(i), g.colWidths(i));
    ini.UpdateFile();
}

void LoadColSizes(TExtStringGridPaint& g)
{
    const QString file = ColumnSizeFile(g);
    if (file.isEmpty())
        return;
    const TIniFile ini(file);
    for (int i = 0; i < g.ColCount(); ++i) {
        const int w = ini.ReadInteger(g.ColumnSize.Section, QStringLiteral("Col%1").arg(i), g.colWidths(i));
        if (w != g.colWidths(i) && w >= 0 && w <= kMaxCellExtent)
            g.setColWidths(i, w);
    }
}

void SaveColPositions(TExtStringGridPaint& g)
{
    const QString file = ColumnSizeFile(g);
    if (file.isEmpty())
        return;
    TIniFile ini(file);
    const TIntList& list = g.ColumnOrder();
    for (int i = 0; i < list.Count(); ++i)
        ini.WriteInteger(g.ColumnSize.Section, QStringLiteral("Pos%1").arg(i), list[i]);
    ini.UpdateFile();
}

void LoadColPositions(TExtStringGridPaint& g)
{
    const QString file = ColumnSizeFile(g);
    if (file.isEmpty())
        return;
    const TIniFile ini(file);
    if (ini.ReadInteger(g.ColumnSize.Section, QStringLiteral("Pos0"), -1) == -1)
        return;
    const int n = g.ColCount() + g.NumHiddenColumns();
    std::vector<int> order;
    for (int i = 0; i < n; ++i) {
        const int v = ini.ReadInteger(g.ColumnSize.Section, QStringLiteral("Pos%1").arg(i), -1);
        if (v != -1)
            order.push_back(v);
    }
    // A damaged or hand-edited order (duplicates, gaps, values past the columns) changes nothing.
    if (int(order.size()) != n || !isPermutation(order, n))
        return;
    std::vector<int> hidden;
    for (int c = 0; c < n; ++c)
        if (g.IsHiddenColumn(c))
            hidden.push_back(c);
    g.UnHideColumnsAll();
    ArrangeColumns(g, order);
    for (auto it = hidden.rbegin(); it != hidden.rend(); ++it)
        g.HideColumn(*it);
}

// --- visual properties ----------------------------------------------------------------------------

namespace {

enum class Kind { Color, Bool, Int, Style, Text, Enum };

struct Prop {
    QString Name;
    Kind K;
    std::function<QString()> Get;
    std::function<void(const QString&)> Set;
};

QString styleText(TFontStyles s)
{
    QStringList names;
    const char* all[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    for (int i = 0; i < 4; ++i)
        if (s & (1u << i))
            names << QString::fromLatin1(all[i]);
    return names.join(u',');
}

TFontStyles styleOf(const QString& v)
{
    TFontStyles s = 0;
    const char* all[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    for (int i = 0; i < 4; ++i)
        if (v.contains(QLatin1String(all[i])))
            s |= 1u << i;
    return s;
}

QString boolText(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

bool boolOf(const QString& v)
{
    return v.toUpper() == QLatin1String("TRUE");
}

Color colorOf(const QString& v)
{
    return v.isEmpty() ? platform::clNone : platform::StringToColor(v);
}

int intOf(const QString& v)
{
    const auto i = platform::toInt(v.trimmed());
    if (!i)
        throw platform::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(v));
    return *i;
}

template <class E, size_t N>
Prop enumProp(const QString& name, const std::array<const char*, N>& names, std::function<E()> get,
              std::function<void(E)> set)
{
    return Prop{name, Kind::Enum, [=]() { return QString::fromLatin1(names[size_t(get())]); },
                [=](const QString& v) {
                    for (size_t i = 0; i < N; ++i)
                        if (v.toUpper() == QString::fromLatin1(names[i]).toUpper() && !v.isEmpty()) {
                            set(E(i));
                            return;
                        }
                }};
}

void fontProps(std::vector<Prop>& props, const QString& prefix, std::function<QFont()> get,
               std::function<void(const QFont&)> set, std::function<Color()> getColor,
               std::function<void(Color)> setColor)
{
    props.push_back({prefix + ".Color", Kind::Color, [=]() { return platform::ColorToString(getColor()); },
                     [=](const QString& v) { setColor(colorOf(v)); }});
    props.push_back({prefix + ".Style", Kind::Style, [=]() { return styleText(FontStylesOf(get())); },
                     [=](const QString& v) {
                         QFont f = get();
                         ApplyFontStyles(f, styleOf(v));
                         set(f);
                     }});
    props.push_back({prefix + ".Size", Kind::Int, [=]() { return QString::number(FontPointSize(get())); },
                     [=](const QString& v) {
                         QFont f = get();
                         f.setPointSize(std::max(1, intOf(v)));
                         set(f);
                     }});
    props.push_back({prefix + ".Name", Kind::Text, [=]() { return get().family(); },
                     [=](const QString& v) {
                         QFont f = get();
                         f.setFamily(v);
                         set(f);
                     }});
}

std::vector<Prop> visualProps(TExtStringGridPaint& g)
{
    std::vector<Prop> p;
    auto color = [&p](const QString& name, std::function<Color()> get, std::function<void(Color)> set) {
        p.push_back({name, Kind::Color, [=]() { return platform::ColorToString(get()); },
                     [=](const QString& v) { set(colorOf(v)); }});
    };
    auto boolean = [&p](const QString& name, std::function<bool()> get, std::function<void(bool)> set) {
        p.push_back({name, Kind::Bool, [=]() { return boolText(get()); }, [=](const QString& v) { set(boolOf(v)); }});
    };
    auto integer = [&p](const QString& name, std::function<int()> get, std::function<void(int)> set) {
        p.push_back({name, Kind::Int, [=]() { return QString::number(get()); }, [=](const QString& v) { set(intOf(v)); }});
    };
    TExtStringGridPaint* G = &g;
    color("Color", [G] { return G->color(); }, [G](Color c) { G->setColor(c); });
    color("HintColor", [G] { return G->HintColor; }, [G](Color c) { G->HintColor = c; });
    color("SelectionColor", [G] { return G->SelectionColor(); }, [G](Color c) { G->SetSelectionColor(c); });
    color("SelectionColorTo", [G] { return G->SelectionColorTo(); }, [G](Color c) { G->SetSelectionColorTo(c); });
    color("SelectionMirrorColor", [G] { return G->SelectionMirrorColor(); }, [G](Color c) { G->SetSelectionMirrorColor(c); });
    color("SelectionMirrorColorTo", [G] { return G->SelectionMirrorColorTo(); },
          [G](Color c) { G->SetSelectionMirrorColorTo(c); });
    color("SelectionTextColor", [G] { return G->SelectionTextColor(); }, [G](Color c) { G->SetSelectionTextColor(c); });
    color("URLColor", [G] { return G->URLColor(); }, [G](Color c) { G->SetURLColor(c); });
    boolean("URLShow", [G] { return G->URLShow(); }, [G](bool b) { G->SetURLShow(b); });
    boolean("URLShowInText", [G] { return G->URLShowInText(); }, [G](bool b) { G->SetURLShowInText(b); });
    color("ScrollColor", [G] { return G->ScrollColor(); }, [G](Color c) { G->SetScrollColor(c); });
    color("ActiveRowColor", [G] { return G->ActiveRowColor(); }, [G](Color c) { G->SetActiveRowColor(c); });
    boolean("ActiveRowShow", [G] { return G->ActiveRowShow(); }, [G](bool b) { G->SetActiveRowShow(b); });
    boolean("ActiveCellShow", [G] { return G->ActiveCellShow(); }, [G](bool b) { G->SetActiveCellShow(b); });
    fontProps(p, "Font", [G] { return G->font(); }, [G](const QFont& f) { G->setFont(f); },
              [G] { return G->FontColor(); }, [G](Color c) { G->SetFontColor(c); });
    color("ActiveCellColor", [G] { return G->ActiveCellColor(); }, [G](Color c) { G->SetActiveCellColor(c); });
    color("ActiveCellColorTo", [G] { return G->ActiveCellColorTo(); }, [G](Color c) { G->SetActiveCellColorTo(c); });
    fontProps(p, "ActiveCellFont", [G] { return G->ActiveCellFont(); }, [G](const QFont& f) { G->SetActiveCellFont(f); },
              [G] { return G->ActiveCellFontColor(); }, [G](Color c) { G->SetActiveCellFontColor(c); });
    fontProps(p, "FixedFont", [G] { return G->FixedFont(); }, [G](const QFont& f) { G->SetFixedFont(f); },
              [G] { return G->FixedFontColor; }, [G](Color c) {
                  G->FixedFontColor = c;
                  G->invalidate();
              });
    color("Balloon.BackgroundColor", [G] { return G->Balloon.BackgroundColor; }, [G](Color c) { G->Balloon.BackgroundColor = c; });
    color("Balloon.TextColor", [G] { return G->Balloon.TextColor; }, [G](Color c) { G->Balloon.TextColor = c; });
    integer("Balloon.Transparency", [G] { return int(G->Balloon.Transparency); },
            [G](int v) { G->Balloon.Transparency = (unsigned char)std::clamp(v, 0, 255); });
    color("Bands.PrimaryColor", [G] { return G->Bands.PrimaryColor(); }, [G](Color c) { G->Bands.SetPrimaryColor(c); });
    color("Bands.SecondaryColor", [G] { return G->Bands.SecondaryColor(); }, [G](Color c) { G->Bands.SetSecondaryColor(c); });
    boolean("Bands.Active", [G] { return G->Bands.Active(); }, [G](bool b) { G->Bands.SetActive(b); });
    color("SortSettings.IndexColor", [G] { return G->SortSettings.IndexColor; }, [G](Color c) { G->SortSettings.IndexColor = c; });
    color("FloatingFooter.Color", [G] { return G->FloatingFooter.Color; }, [G](Color c) { G->FloatingFooter.Color = c; });
    integer("ControlLook.CheckSize", [G] { return G->ControlLook.CheckSize(); }, [G](int v) { G->ControlLook.SetCheckSize(v); });
    color("ControlLook.Color", [G] { return G->ControlLook.Color(); }, [G](Color c) { G->ControlLook.SetColor(c); });
    color("ControlLook.CommentColor", [G] { return G->ControlLook.CommentColor(); },
          [G](Color c) { G->ControlLook.SetCommentColor(c); });
    p.push_back(enumProp<TControlStyle>(
        "ControlLook.ControlStyle",
        std::array<const char*, 7>{"csClassic", "csFlat", "csWinXP", "csTessik", "csVekko", "csGlyph", "csTheme"},
        [G] { return G->ControlLook.ControlStyle(); }, [G](TControlStyle s) { G->ControlLook.SetControlStyle(s); }));
    color("ControlLook.FixedGradientFrom", [G] { return G->ControlLook.FixedGradientFrom(); },
          [G](Color c) { G->ControlLook.SetFixedGradientFrom(c); });
    color("ControlLook.FixedGradientTo", [G] { return G->ControlLook.FixedGradientTo(); },
          [G](Color c) { G->ControlLook.SetFixedGradientTo(c); });
    integer("ControlLook.RadioSize", [G] { return G->ControlLook.RadioSize(); }, [G](int v) { G->ControlLook.SetRadioSize(v); });
    boolean("ControlLook.FlatButton", [G] { return G->ControlLook.FlatButton(); }, [G](bool b) { G->ControlLook.SetFlatButton(b); });
    color("ControlLook.ProgressBorderColor", [G] { return G->ControlLook.ProgressBorderColor; },
          [G](Color c) { G->ControlLook.ProgressBorderColor = c; });
    boolean("ControlLook.ProgressXP", [G] { return G->ControlLook.ProgressXP(); }, [G](bool b) { G->ControlLook.SetProgressXP(b); });
    {
        const std::array<const char*, 9> looks{"glStandard", "glSoft",  "glClassic", "glVekko",     "glXP",
                                               "glListView", "glVista", "glWin7",    "glOffice2007"};
        p.push_back({"Look", Kind::Enum,
                     [G, looks] { return G->Look() == glCustom ? QString() : QString::fromLatin1(looks[size_t(G->Look())]); },
                     [G, looks](const QString& v) {
                         for (size_t i = 0; i < looks.size(); ++i)
                             if (!v.isEmpty() && v.toUpper() == QString::fromLatin1(looks[i]).toUpper()) {
                                 G->SetLook(TGridLook(i));
                                 return;
                             }
                     }});
    }
    color("SearchFooter.Color", [G] { return G->SearchFooter.Color(); }, [G](Color c) { G->SearchFooter.SetColor(c); });
    color("SearchFooter.ColorTo", [G] { return G->SearchFooter.ColorTo(); }, [G](Color c) { G->SearchFooter.SetColorTo(c); });
    color("Grouping.HeaderColor", [G] { return G->Grouping.HeaderColor; }, [G](Color c) { G->Grouping.HeaderColor = c; });
    color("Grouping.HeaderColorTo", [G] { return G->Grouping.HeaderColorTo; }, [G](Color c) { G->Grouping.HeaderColorTo = c; });
    color("Grouping.HeaderTextColor", [G] { return G->Grouping.HeaderTextColor; }, [G](Color c) { G->Grouping.HeaderTextColor = c; });
    boolean("Grouping.HeaderUnderline", [G] { return G->Grouping.HeaderUnderline; }, [G](bool b) { G->Grouping.HeaderUnderline = b; });
    color("Grouping.HeaderLineColor", [G] { return G->Grouping.HeaderLineColor; }, [G](Color c) { G->Grouping.HeaderLineColor = c; });
    integer("Grouping.HeaderLineWidth", [G] { return G->Grouping.HeaderLineWidth; }, [G](int v) { G->Grouping.HeaderLineWidth = v; });
    color("Grouping.SummaryColor", [G] { return G->Grouping.SummaryColor; }, [G](Color c) { G->Grouping.SummaryColor = c; });
    color("Grouping.SummaryColorTo", [G] { return G->Grouping.SummaryColorTo; }, [G](Color c) { G->Grouping.SummaryColorTo = c; });
    color("Grouping.SummaryTextColor", [G] { return G->Grouping.SummaryTextColor; }, [G](Color c) { G->Grouping.SummaryTextColor = c; });
    boolean("Grouping.SummaryLine", [G] { return G->Grouping.SummaryLine; }, [G](bool b) { G->Grouping.SummaryLine = b; });
    color("Grouping.SummaryLineColor", [G] { return G->Grouping.SummaryLineColor; }, [G](Color c) { G->Grouping.SummaryLineColor = c; });
    integer("Grouping.SummaryLineWidth", [G] { return G->Grouping.SummaryLineWidth; }, [G](int v) { G->Grouping.SummaryLineWidth = v; });
    color("GridLineColor", [G] { return G->GridLineColor(); }, [G](Color c) { G->SetGridLineColor(c); });
    color("GridFixedLineColor", [G] { return G->GridFixedLineColor(); }, [G](Color c) { G->SetGridFixedLineColor(c); });
    integer("BackGround.Top", [G] { return G->BackGround.Top(); }, [G](int v) { G->BackGround.SetTop(v); });
    integer("BackGround.Left", [G] { return G->BackGround.Left(); }, [G](int v) { G->BackGround.SetLeft(v); });
    p.push_back(enumProp<TBackGroundDisplay>(
        "BackGround.Display", std::array<const char*, 4>{"bdTile", "bdFixed", "bdGradientHorz", "bdGradientVert"},
        [G] { return G->BackGround.Display(); }, [G](TBackGroundDisplay d) { G->BackGround.SetDisplay(d); }));
    p.push_back(enumProp<TBackGroundCells>("BackGround.Cells", std::array<const char*, 3>{"bcNormal", "bcFixed", "bcAll"},
                                           [G] { return G->BackGround.Cells(); },
                                           [G](TBackGroundCells c) { G->BackGround.SetCells(c); }));
    color("BackGround.Color", [G] { return G->BackGround.Color(); }, [G](Color c) { G->BackGround.SetColor(c); });
    color("BackGround.ColorTo", [G] { return G->BackGround.ColorTo(); }, [G](Color c) { G->BackGround.SetColorTo(c); });
    return p;
}

} // namespace

void SaveVisualProps(TExtStringGridPaint& g, const QString& fileName)
{
    QStringList lines;
    for (const Prop& p : visualProps(g))
        lines << p.Name + u'=' + p.Get();
    QString error;
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    if (!platform::writeWholeFile(fileName, text.toUtf8(), &error))
        throw platform::Exception(QStringLiteral("Cannot Create ") + fileName);
}

void LoadVisualProps(TExtStringGridPaint& g, const QString& fileName)
{
    const auto bytes = platform::readWholeFile(fileName);
    if (!bytes)
        throw platform::Exception(QStringLiteral("Cannot open file ") + fileName);
    const QStringList lines = platform::splitLines(DecodeGridText(*bytes));
    auto value = [&lines](const QString& name) -> std::optional<QString> {
        for (const QString& l : lines) {
            const qsizetype eq = l.indexOf(u'=');
            if (eq > 0 && l.left(eq).compare(name, Qt::CaseInsensitive) == 0)
                return l.mid(eq + 1);
        }
        return std::nullopt;
    };
    // The look first: the colours of its preset would otherwise replace the ones read before it.
    std::vector<Prop> props = visualProps(g);
    std::stable_partition(props.begin(), props.end(), [](const Prop& p) { return p.Name == QLatin1String("Look"); });
    for (const Prop& p : props) {
        const auto v = value(p.Name);
        if (!v) {
            if (p.K == Kind::Int)
                throw platform::EConvertError(QStringLiteral("'' is not a valid integer value"));
            continue;
        }
        p.Set(*v);
    }
}

// --- print settings -------------------------------------------------------------------------------

namespace {

QString yn(bool b)
{
    return b ? QStringLiteral("Y") : QStringLiteral("N");
}

int styleBits(const QFont& f)
{
    return int(FontStylesOf(f));
}

} // namespace

void SavePrintSettings(TExtStringGridPaint& g, const QString& fileName, const QString& section)
{
    TIniFile ini(fileName);
    const TPrintSettings& s = g.PrintSettings;
    auto i = [&](const char* k, int v) { ini.WriteInteger(section, QString::fromLatin1(k), v); };
    auto t = [&](const char* k, const QString& v) { ini.WriteString(section, QString::fromLatin1(k), v); };
    i("ColumnSpacing", s.ColumnSpacing);
    i("RowSpacing", s.RowSpacing);
    i("TitleSpacing", s.TitleSpacing);
    i("FixedHeight", s.FixedHeight);
    i("FixedWidth", s.FixedWidth);
    t("Centered", yn(s.Centered));
    t("NoAutoSize", yn(s.NoAutoSize));
    t("UseFixedHeight", yn(s.UseFixedHeight));
    t("UseFixedWidth", yn(s.UseFixedWidth));
    t("RepeatFixedRows", yn(s.RepeatFixedRows));
    t("RepeatFixedCols", yn(s.RepeatFixedCols));
    t("UseDisplFont", yn(s.UseDisplayFont));
    t("UseDefOrientation", yn(s.UseDefaultOrientation));
    i("Borders", int(s.Borders));
    i("BorderColor", int(s.BorderColor));
    i("BorderStyle", int(s.BorderStyle));
    i("Date", int(s.Date));
    i("PageNr", int(s.PageNr));
    i("Title", int(s.Title));
    i("Time", int(s.Time));
    t("DateFormat", s.DateFormat);
    t("TitleText", s.TitleText);
    i("FooterSize", s.FooterSize);
    i("HeaderSize", s.HeaderSize);
    i("LeftSize", s.LeftSize);
    i("RightSize", s.RightSize);
    i("FitToPage", int(s.FitToPage));
    t("FontName", s.Font.family());
    t("HeaderFontName", s.HeaderFont.family());
    t("FooterFontName", s.FooterFont.family());
    i("FontSize", FontPointSize(s.Font));
    i("HeaderFontSize", FontPointSize(s.HeaderFont));
    i("FooterFontSize", FontPointSize(s.FooterFont));
    i("FontStyle", styleBits(s.Font));
    i("HeaderFontStyle", styleBits(s.HeaderFont));
    i("FooterFontStyle", styleBits(s.FooterFont));
    i("FontColor", 0);
    i("HeaderFontColor", 0);
    i("FooterFontColor", 0);
    t("PageNumSep", s.PageNumSep);
    t("PageSuffix", s.PageSuffix);
    t("PagePrefix", s.PagePrefix);
    i("Orientation", int(s.Orientation));
    QStringList title;
    for (int k = 0; k < s.TitleLines.Count(); ++k)
        title << QString(s.TitleLines.Strings(k)).remove(u'\n');
    t("TitleLines", title.join(QStringLiteral("\\n")));
    t("PrintGraphics", yn(s.PrintGraphics));
    ini.UpdateFile();
}

void LoadPrintSettings(TExtStringGridPaint& g, const QString& fileName, const QString& section)
{
    const TIniFile ini(fileName);
    TPrintSettings& s = g.PrintSettings;
    auto i = [&](const char* k, int def) { return ini.ReadInteger(section, QString::fromLatin1(k), def); };
    auto t = [&](const char* k, const QString& def) { return ini.ReadString(section, QString::fromLatin1(k), def); };
    auto b = [&](const char* k, const char* def) { return t(k, QString::fromLatin1(def)) == QLatin1String("Y"); };
    s.ColumnSpacing = i("ColumnSpacing", 20);
    s.RowSpacing = i("RowSpacing", 20);
    s.TitleSpacing = i("TitleSpacing", 20);
    s.FixedHeight = i("FixedHeight", 0);
    s.FixedWidth = i("FixedWidth", 0);
    s.Centered = b("Centered", "Y");
    s.NoAutoSize = b("NoAutoSize", "N");
    s.UseFixedHeight = b("UseFixedHeight", "N");
    s.UseFixedWidth = b("UseFixedWidth", "N");
    s.RepeatFixedRows = b("RepeatFixedRows", "N");
    s.RepeatFixedCols = b("RepeatFixedCols", "N");
    s.UseDisplayFont = b("UseDisplFont", "N");
    s.UseDefaultOrientation = b("UseDefOrientation", "N");
    if (const int v = i("Borders", 0); v >= 0 && v <= 8)
        s.Borders = TPrintBorders(v);
    s.BorderColor = Color(quint32(i("BorderColor", 0)));
    if (const int v = i("BorderStyle", 0); v >= 0 && v <= 6)
        s.BorderStyle = TPenStyleKind(v);
    auto position = [&](const char* k) {
        const int v = i(k, 0);
        return v >= 1 && v <= 6 ? TPrintPosition(v) : ppNone;
    };
    s.Date = position("Date");
    s.PageNr = position("PageNr");
    s.Title = position("Title");
    s.Time = position("Time");
    s.DateFormat = t("DateFormat", QString());
    s.TitleText = t("TitleText", QString());
    s.FooterSize = i("FooterSize", 100);
    s.HeaderSize = i("HeaderSize", 100);
    s.LeftSize = i("LeftSize", 100);
    s.RightSize = i("RightSize", 100);
    if (const int v = i("FitToPage", 0); v >= 0 && v <= 4)
        s.FitToPage = TFitToPage(v);
    auto font = [&](QFont& f, const char* name, const char* size, const char* style) {
        f.setFamily(t(name, QStringLiteral("Arial")));
        f.setPointSize(std::max(1, i(size, 10)));
        ApplyFontStyles(f, FontStylesOf(f) | TFontStyles(i(style, 0) & 15));
    };
    font(s.Font, "FontName", "FontSize", "FontStyle");
    font(s.HeaderFont, "HeaderFontName", "HeaderFontSize", "HeaderFontStyle");
    font(s.FooterFont, "FooterFontName", "FooterFontSize", "FooterFontStyle");
    s.PageNumSep = t("PageNumSep", QString());
    s.PageSuffix = t("PageSuffix", QString());
    s.PagePrefix = t("PagePrefix", QString());
    if (const int v = i("Orientation", 0); v == 0 || v == 1)
        s.Orientation = TPrinterOrientation(v);
    s.TitleLines.Clear();
    const QString title = t("TitleLines", QString());
    if (!title.isEmpty())
        for (const QString& line : title.split(QStringLiteral("\\n")))
            s.TitleLines.Add(line);
    s.PrintGraphics = b("PrintGraphics", "N");
    ini.UpdateFile();
}

} // namespace controls::grid::io

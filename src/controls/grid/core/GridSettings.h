#pragma once
// The string grid's groups of settings, each a persistent object the grid creates, owns and
// frees: node, column-size, typing-size, HTML and print settings; the look of in-cell controls
// and fixed cells, grouping, drag and drop, balloons, modified rows and the background; drag
// scrolling, progress bars and the filter drop-down; and the change notifier applications
// register with the grid.
//
// Setters that only store are plain fields; the others are Name() / SetName(value). OnChange
// (where there is one) tells the grid, which repaints. Assign copies from an object of the same
// class and ignores any other source; TPrintSettings refuses another class with EInvalidCast,
// and TSizeWhileTyping has no copy of its own (the persistent base refuses it).
//
// Settings of the grid's later parts (sorting, filtering, the floating footer) keep their values
// here and do nothing yet.
#include "controls/grid/base/GridLists.h"
#include "controls/grid/base/GridTypes.h"
#include "controls/grid/dropdown/rules/Appearances.h"
#include "platform/core/Persistent.h"
#include "platform/core/StringList.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace controls::grid {

using platform::Color;
using platform::clNone;

class TExtStringGrid;
class TFilterData;

// --- node, column size, typing size, HTML, print (the grid's own parts) ---------------------

enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };

class TCellNode : public platform::TPersistent {
public:
    platform::Color Color = 0xC0C0C0;
    bool ExpandOne = false;
    platform::Color NodeColor = 0x000000;
    TNodeType NodeType() const { return m_nodeType; }
    void SetNodeType(TNodeType t);
    int NodeIndent() const { return m_nodeIndent; }
    void SetNodeIndent(int n);
    const platform::Bitmap& ExpandGlyph() const { return m_expandGlyph; }
    void SetExpandGlyph(const platform::Bitmap& b) { m_expandGlyph = b; }
    const platform::Bitmap& ContractGlyph() const { return m_contractGlyph; }
    void SetContractGlyph(const platform::Bitmap& b) { m_contractGlyph = b; }
    bool ShowTree() const { return m_showTree; }
    void SetShowTree(bool on);
    bool ShowTreeFull() const { return m_showTreeFull; }
    void SetShowTreeFull(bool on);
    platform::Color TreeColor() const { return m_treeColor; }
    void SetTreeColor(platform::Color c);
    platform::TNotifyEvent OnChange; // the changes that repaint
    void Assign(const platform::TPersistent* source) override;

private:
    void changed();
    TNodeType m_nodeType = cnXP;
    int m_nodeIndent = 12;
    platform::Bitmap m_expandGlyph;
    platform::Bitmap m_contractGlyph;
    bool m_showTree = true;
    bool m_showTreeFull = true;
    platform::Color m_treeColor = 0x808080;
};

class TSizeWhileTyping : public platform::TPersistent {
public:
    bool Height = false;
    bool Width = false;
};

enum TAutoSizeRows { arAll, arNormal, arFixed };
enum TColumnSizeLocation { clRegistry, clIniFile };

class TColumnSize : public platform::TPersistent {
public:
    TAutoSizeRows Rows = arAll;
    bool Save = false;
    QString Key;
    QString Section;
    int StretchColumn = -1;
    bool SynchWithGrid = false;
    bool SynchNormalCellsOnly = false;
    TColumnSizeLocation Location = clRegistry;
    bool Stretch() const { return m_stretch; }
    // Switching stretching on stretches at once (the grid's handler).
    void SetStretch(bool on);
    platform::TNotifyEvent OnStretchChange;
    void Assign(const platform::TPersistent* source) override;

private:
    bool m_stretch = false;
};

class THTMLSettings : public platform::TPersistent {
public:
    bool AutoPreview = false;
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    bool ConvertSpecialChars = false;
    bool ExportImages = true;
    QString FooterFile;
    QString HeaderFile;
    bool NonBreakingText = false;
    QString PrefixTag;
    bool SaveColor = true;
    bool SaveFonts = true;
    QString SuffixTag;
    QString Summary;
    QString TableStyle;
    int Width = 100;
    bool XHTML = false;
    TIntList ColWidths; // widths for the export, not copied
    void Assign(const platform::TPersistent* source) override;
};

enum TPrintPosition { ppNone, ppTopLeft, ppTopRight, ppTopCenter, ppBottomLeft, ppBottomRight, ppBottomCenter };
enum TPrintBorders {
    pbNoborder, pbSingle, pbDouble, pbVertical, pbHorizontal, pbAround, pbAroundVertical, pbAroundHorizontal, pbCustom
};
enum TPenStyleKind { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
enum TPrinterOrientation { poPortrait, poLandscape };
enum TFitToPage { fpNever, fpGrow, fpShrink, fpAlways, fpCustom };

class TPrintSettings : public platform::TPersistent {
public:
    int FooterSize = 0, HeaderSize = 0;
    TPrintPosition Time = ppNone, Date = ppNone, PageNr = ppNone, Title = ppNone;
    QString DateFormat = QStringLiteral("dd/mm/yyyy");
    QString TitleText;
    platform::TStringList TitleLines;
    QFont Font, FixedFont, HeaderFont, FooterFont;
    TPrintBorders Borders = pbSingle;
    TPenStyleKind BorderStyle = psSolid;
    Color BorderColor = 0x000000;
    bool Centered = true;
    bool RepeatFixedRows = false, RepeatFixedCols = false;
    int LeftSize = 0, RightSize = 0, ColumnSpacing = 0, RowSpacing = 0, TitleSpacing = 0;
    TPrinterOrientation Orientation = poPortrait;
    QString PagePrefix, PageSuffix;
    int PageNumberOffset = 0, MaxPagesOffset = 0;
    int FixedWidth = 0, FixedHeight = 0;
    bool UseFixedHeight = false, UseFixedWidth = false;
    TFitToPage FitToPage = fpNever;
    QString JobName;
    QString PageNumSep = QStringLiteral("/");
    bool NoAutoSize = false, NoAutoSizeRow = false, PrintGraphics = false;
    bool UseDisplayFont = true;
    bool UseDefaultOrientation = false;
    bool FixedCellsAlways = false; // not copied
    void Assign(const platform::TPersistent* source) override;
};

// --- look of controls and fixed cells, grouping, drag and drop, balloons, modified rows,
// background ----------------------------------------------------------------------------------

enum TControlStyle { csClassic, csFlat, csWinXP, csTessik, csVekko, csGlyph, csTheme };

// The look of the header and footer bars of the drop-down editors' popups: the editors copy
// these when they open over a cell.
using THeaderAppearance = dropdown::THeaderAppearance;
using TFooterAppearance = dropdown::TFooterAppearance;

class TControlLook : public platform::TPersistent {
public:
    // The grid whose header gradients follow the fixed-cell gradients (may be nullptr).
    explicit TControlLook(TExtStringGrid* grid = nullptr);

    void Init();

#define VN_LOOK_REPAINT(Type, Name)                                                                                   \
    Type Name() const { return m_##Name; }                                                                             \
    void Set##Name(Type v)                                                                                             \
    {                                                                                                                  \
        m_##Name = v;                                                                                                  \
        changed();                                                                                                     \
    }
    VN_LOOK_REPAINT(platform::Color, Color)
    VN_LOOK_REPAINT(platform::Color, CommentColor)
    VN_LOOK_REPAINT(int, CheckSize)
    VN_LOOK_REPAINT(int, RadioSize)
    VN_LOOK_REPAINT(TControlStyle, ControlStyle)
    VN_LOOK_REPAINT(bool, DropDownAlwaysVisible)
    VN_LOOK_REPAINT(bool, SpinButtonsAlwaysVisible)
    VN_LOOK_REPAINT(bool, FlatButton)
    VN_LOOK_REPAINT(bool, NoDisabledCheckRadioLook)
    VN_LOOK_REPAINT(bool, NoDisabledButtonLook)
    VN_LOOK_REPAINT(int, ProgressMarginX)
    VN_LOOK_REPAINT(int, ProgressMarginY)
    VN_LOOK_REPAINT(bool, ProgressXP)
#undef VN_LOOK_REPAINT

    // Fixed-cell gradients: the plain ones also set the grid's header colours (the hover and
    // pressed ones only when they are not clNone; the mirror ones always).
    platform::Color FixedGradientFrom() const { return m_fixed[0]; }
    void SetFixedGradientFrom(platform::Color c);
    platform::Color FixedGradientTo() const { return m_fixed[1]; }
    void SetFixedGradientTo(platform::Color c);
    platform::Color FixedGradientMirrorFrom() const { return m_fixed[2]; }
    void SetFixedGradientMirrorFrom(platform::Color c);
    platform::Color FixedGradientMirrorTo() const { return m_fixed[3]; }
    void SetFixedGradientMirrorTo(platform::Color c);
    platform::Color FixedGradientHoverFrom = 0xFFFFFF;
    platform::Color FixedGradientHoverTo = 0x808080;
    platform::Color FixedGradientHoverMirrorFrom = clNone;
    platform::Color FixedGradientHoverMirrorTo = clNone;
    platform::Color FixedGradientHoverBorder = 0xC0C0C0;
    platform::Color FixedGradientDownFrom = 0xC0C0C0;
    platform::Color FixedGradientDownTo = 0x808080;
    platform::Color FixedGradientDownMirrorFrom = clNone;
    platform::Color FixedGradientDownMirrorTo = clNone;
    platform::Color FixedGradientDownBorder = 0x808080;
    bool FixedDropDownButton = false;
    int HintMaxWidth = 0;
    bool CheckAlwaysActive = false;
    bool RadioAlwaysActive = false;
    int DropDownCount = 8;
    platform::Color ProgressBorderColor = 0x808080;
    platform::Bitmap CheckedGlyph, UnCheckedGlyph, RadioOnGlyph, RadioOffGlyph;
    THeaderAppearance DropDownHeader;
    TFooterAppearance DropDownFooter;

    platform::TNotifyEvent OnChange;
    void Assign(const platform::TPersistent* source) override;

private:
    void changed();
    TExtStringGrid* m_grid;
    platform::Color m_Color = 0;
    platform::Color m_CommentColor = 0x0000FF;
    int m_CheckSize = 15;
    int m_RadioSize = 10;
    TControlStyle m_ControlStyle = csTheme;
    bool m_DropDownAlwaysVisible = false;
    bool m_SpinButtonsAlwaysVisible = false;
    bool m_FlatButton = false;
    bool m_NoDisabledCheckRadioLook = false;
    bool m_NoDisabledButtonLook = false;
    int m_ProgressMarginX = 2;
    int m_ProgressMarginY = 2;
    bool m_ProgressXP = false;
    platform::Color m_fixed[4] = {clNone, clNone, clNone, clNone};
};

class TGrouping : public platform::TPersistent {
public:
    bool AutoSelectGroup = false, AutoCheckGroup = false;
    QString GroupCountFormat;
    Color HeaderColor = clNone, HeaderColorTo = clNone, HeaderTextColor = clNone;
    bool HeaderUnderline = false;
    Color HeaderLineColor = 0xFF0000;
    int HeaderLineWidth = 2;
    bool MergeHeader = false, MergeSummary = false, ShowGroupCount = false, Summary = false;
    Color SummaryColor = clNone, SummaryColorTo = clNone, SummaryTextColor = clNone;
    bool SummaryLine = false;
    Color SummaryLineColor = 0xFF0000;
    int SummaryLineWidth = 2;
    void Assign(const platform::TPersistent* source) override;
};

class TDragDropSettings : public platform::TPersistent {
public:
    bool ShowCells = true;
    bool OleAcceptFiles = true, OleAcceptText = true, OleAcceptURLs = true;
    bool OleAppendRows = false, OleColumnDragDrop = false, OleColumnReorder = false, OleColumnsOnly = false,
         OleCopyAlways = false, OleDropSource = false, OleEntireRows = false, OleInsertRows = false,
         OleRemoveRows = false, OleDropRTF = false;
    // The grid registers itself as a drop target when this is switched on (drag and drop).
    bool OleDropTarget() const { return m_oleDropTarget; }
    void SetOleDropTarget(bool on)
    {
        m_oleDropTarget = on;
        if (OnDropTargetChange)
            OnDropTargetChange();
    }
    std::function<void()> OnDropTargetChange;
    void Assign(const platform::TPersistent* source) override;

private:
    bool m_oleDropTarget = false;
};

class TBalloonSettings : public platform::TPersistent {
public:
    int AutoHideDelay = -1;
    Color BackgroundColor = clNone;
    int InitialDelay = -1;
    int ReshowDelay = -1;
    Color TextColor = clNone;
    unsigned char Transparency = 0;
    bool Enable() const { return m_enable; }
    void SetEnable(bool on);
    platform::TNotifyEvent OnEnableChange;
    void Assign(const platform::TPersistent* source) override;

private:
    bool m_enable = false;
};

class TShowModified : public platform::TPersistent {
public:
    bool Enabled = false;
    platform::Color Color() const { return m_color; }
    void SetColor(platform::Color c);
    platform::TNotifyEvent OnChange;
    void Assign(const platform::TPersistent* source) override;

private:
    platform::Color m_color = 0x00FFFF;
};

enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
enum TBackGroundCells { bcNormal, bcFixed, bcAll };

class TBackGround : public platform::TPersistent {
public:
#define VN_BG_PROP(Type, Name, Init)                                                                                   \
    Type Name() const { return m_##Name; }                                                                             \
    void Set##Name(const Type& v)                                                                                      \
    {                                                                                                                  \
        m_##Name = v;                                                                                                  \
        if (OnChange)                                                                                                  \
            OnChange(this);                                                                                            \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    Type m_##Name = Init;                                                                                              \
                                                                                                                       \
public:
    VN_BG_PROP(int, Top, 0)
    VN_BG_PROP(int, Left, 0)
    VN_BG_PROP(TBackGroundDisplay, Display, bdTile)
    VN_BG_PROP(platform::Bitmap, Bitmap, platform::Bitmap())
    VN_BG_PROP(TBackGroundCells, Cells, bcNormal)
    VN_BG_PROP(platform::Color, Color, platform::clWindow)
    VN_BG_PROP(platform::Color, ColorTo, platform::clBtnFace)
#undef VN_BG_PROP
    platform::TNotifyEvent OnChange;
    void Assign(const platform::TPersistent* source) override;
};

// Applications derive from it and register instances with the grid (RegisterNotifier).
class TGridChangeNotifier : public QObject {
public:
    using QObject::QObject;
    virtual void CellsChanged(const QRect& r);
};

// --- drag scrolling, progress bars, filter drop-down -------------------------------------------------

class TDragScrollDelays : public platform::TPersistent {
public:
    int InitialDelay = 1000;
    int RepeatDelay = 250;
    void Assign(const platform::TPersistent* source) override;
};

class TDragScrollMargins : public platform::TPersistent {
public:
    int TopMargin = 50, BottomMargin = 50, LeftMargin = 50, RightMargin = 50;
    void Assign(const platform::TPersistent* source) override;
};

class TDragScrollOptions : public platform::TPersistent {
public:
    bool Active = false;
    TDragScrollDelays Delays;
    TDragScrollMargins Margins;
    void Assign(const platform::TPersistent* source) override;
};

enum TProgressStyle { psXP, psClassic };

class TGridProgressAppearance : public platform::TPersistent {
public:
#define VN_PROGRESS_PROP(Type, Name, Init)                                                                             \
    Type Name() const { return m_##Name; }                                                                             \
    void Set##Name(Type v)                                                                                             \
    {                                                                                                                  \
        if (v == m_##Name)                                                                                             \
            return;                                                                                                    \
        m_##Name = v;                                                                                                  \
        changed();                                                                                                     \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    Type m_##Name = Init;                                                                                              \
                                                                                                                       \
public:
    VN_PROGRESS_PROP(platform::Color, CompleteColor, platform::clRed)
    VN_PROGRESS_PROP(platform::Color, CompleteFontColor, platform::clBlue)
    VN_PROGRESS_PROP(platform::Color, UnCompleteColor, clNone)
    VN_PROGRESS_PROP(platform::Color, UnCompleteFontColor, platform::clWindowText)
    VN_PROGRESS_PROP(platform::Color, Level0Color, platform::rgb(0x00, 0xFF, 0x00))
    VN_PROGRESS_PROP(platform::Color, Level0ColorTo, platform::rgb(0xE1, 0xFF, 0xE1))
    VN_PROGRESS_PROP(platform::Color, Level1Color, platform::rgb(0xFF, 0xFF, 0x00))
    VN_PROGRESS_PROP(platform::Color, Level1ColorTo, platform::rgb(0xFF, 0xFF, 0xCA))
    VN_PROGRESS_PROP(platform::Color, Level2Color, platform::rgb(0xFF, 0xA9, 0x53))
    VN_PROGRESS_PROP(platform::Color, Level2ColorTo, platform::rgb(0xFF, 0xD3, 0xA8))
    VN_PROGRESS_PROP(platform::Color, Level3Color, platform::rgb(0xFF, 0x00, 0x00))
    VN_PROGRESS_PROP(platform::Color, Level3ColorTo, platform::rgb(0xFF, 0xCA, 0xCA))
    VN_PROGRESS_PROP(int, Level1Perc, 70)
    VN_PROGRESS_PROP(int, Level2Perc, 90)
    VN_PROGRESS_PROP(platform::Color, BorderColor, platform::clBlack)
    VN_PROGRESS_PROP(bool, ShowBorder, false)
    VN_PROGRESS_PROP(bool, Stacked, false)
    VN_PROGRESS_PROP(bool, ShowPercentage, true)
    VN_PROGRESS_PROP(bool, CompletionSmooth, true)
    VN_PROGRESS_PROP(bool, ShowGradient, true)
    VN_PROGRESS_PROP(int, Steps, 11)
    VN_PROGRESS_PROP(TProgressStyle, Style, psXP)
#undef VN_PROGRESS_PROP
    QFont Font;
    platform::TNotifyEvent OnChange;
    // Copies every value, then tells OnChange once.
    void Assign(const platform::TPersistent* source) override;

private:
    void changed();
};

class TFilterDropDown : public platform::TPersistent {
public:
    bool AutoSize = false;
    int Height = 150;
    int Width = 150;
    platform::Color Color = platform::clWindow;
    QFont Font;
    bool ColumnWidth = false;
    const platform::Bitmap& Glyph() const { return m_glyph; }
    void SetGlyph(const platform::Bitmap& b);
    const platform::Bitmap& GlyphActive() const { return m_glyphActive; }
    void SetGlyphActive(const platform::Bitmap& b);
    platform::TNotifyEvent OnChange;
    // AutoSize is not copied; no OnChange for the plain values.
    void Assign(const platform::TPersistent* source) override;

private:
    platform::Bitmap m_glyph;
    platform::Bitmap m_glyphActive;
};

// --- settings of the grid's later parts: values only --------------------------------------------

enum TSortDirection { sdAscending, sdDescending };
enum TIndexSortKey { ikShift, ikCtrl };
enum TSortBlankPosition { blFirst, blLast };
// How a column's cells compare when rows are sorted (see TExtStringGrid::CompareCells).
enum TSortStyle {
    ssAutomatic, ssAlphabetic, ssNumeric, ssDate, ssAlphaNoCase, ssAlphaCase, ssShortDateEU, ssShortDateUS, ssCustom,
    ssFinancial, ssAnsiAlphaCase, ssAnsiAlphaNoCase, ssRaw, ssHTML, ssImages, ssCheckBox, ssDateTime, ssTime,
    ssAlphaNumeric, ssAlphaNumericNoCase
};

// The settings of sorting and of the header that starts it. Values read and write as fields;
// SetShow, SetRow and the colour setters also tell the grid.
class TSortSettings : public platform::TPersistent {
public:
    explicit TSortSettings(TExtStringGrid* grid = nullptr) : m_grid(grid) {}
    TSortSettings(const TSortSettings&) = delete;
    TSortSettings& operator=(const TSortSettings&) = delete;
    void SetGrid(TExtStringGrid* grid) { m_grid = grid; }
    bool AutoSortForGrouping = true;
    int Column = -1;
    int Row = 0;
    bool Show = false;
    bool FixedCols = false;
    bool IndexShow = false;
    TIndexSortKey IndexSortKey = ikShift;
    TSortDirection Direction = sdAscending;
    TSortDirection InitSortDirection = sdAscending;
    bool AutoColumnMerge = false;
    bool UndoSort = false;
    bool SingleColumn = false;
    bool Full = true;
    bool IgnoreBlanks = false;
    TSortBlankPosition BlankPos = blFirst;
    bool AutoFormat = true;
    bool IgnoreCase = false;
    bool NormalCellsOnly = false;
    bool SortOnVirtualCells = true;
    Color HeaderColor = clNone, HeaderColorTo = clNone, HeaderMirrorColor = clNone, HeaderMirrorColorTo = clNone;
    Color IndexColor = platform::clYellow;
    platform::Bitmap UpGlyph, DownGlyph, IndexUpGlyph, IndexDownGlyph;
    // Repaints the grid.
    void SetShow(bool on);
    // Raises "Sort row should be smaller than number of fixed rows" for a row that is not a fixed
    // row; the row stays as it was.
    void SetRow(int row);
    void SetHeaderColor(Color c);
    void SetHeaderColorTo(Color c);
    void SetHeaderMirrorColor(Color c);
    void SetHeaderMirrorColorTo(Color c);
    void ToggleDirection() { Direction = Direction == sdAscending ? sdDescending : sdAscending; }
    // The sort state as text: "u3" (ascending by column 3), "d0", or with IndexShow "i;" and the
    // index list ("i;u2;d5").
    QString SaveToString() const;
    // Shows the sort and sorts the grid by the text (empty: nothing). A text shorter than two
    // characters raises "Invalid sort settings specifier"; a column that is no number changes
    // only Show, IndexShow and Direction.
    void LoadFromString(const QString& value);
    // No sort column, an empty index list, the header repainted.
    void Remove();
    // Copies all but IgnoreCase and SortOnVirtualCells.
    void Assign(const platform::TPersistent* source) override;

private:
    TExtStringGrid* m_grid;
    void repaintHeader();
    void setHeaderColour(Color& field, Color c);
};

enum TFloatingFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
using TFooterStyle = TFloatingFooterStyle;

// The floating footer: a strip along the grid's bottom that shows the last row as a fixed
// footer row (fsFixedLastRow), the cell of Column in the current row (fsColumnPreview), a
// template filled from the current row ("<#n>" stands for the display text of column n,
// fsCustomPreview) or what OnPaintFooter paints (fsCustomPaint). The values read as fields;
// writing through the setters tells the grid (FixedFooters, HideLastRow, the strip's height,
// repaints), a plain field write does not.
class TFloatingFooter : public platform::TPersistent {
public:
    explicit TFloatingFooter(TExtStringGrid* grid = nullptr) : m_grid(grid) {}
    TFloatingFooter(const TFloatingFooter&) = delete;
    TFloatingFooter& operator=(const TFloatingFooter&) = delete;
    bool Visible = false;
    TFloatingFooterStyle FooterStyle = fsFixedLastRow;
    int Height = 22;
    platform::Color Color = platform::clBtnFace;
    platform::Color BorderColor = clNone;
    bool CalculateHiddenRows = true;
    int Column = 0;
    QString CustomTemplate;
    bool ShowHint = false;
    bool EnableCalculation = true;
    std::function<void(TFloatingFooter* sender, int col, int row, QString& value)> OnCalcFooter;
    void SetVisible(bool on);
    void SetFooterStyle(TFloatingFooterStyle style);
    void SetHeight(int h);
    void SetColor(platform::Color c);
    void SetBorderColor(platform::Color c);
    void SetColumn(int col);
    void SetCustomTemplate(const QString& text);
    void SetShowHint(bool on);
    // The calculation of a column's footer cell (the grid's last row).
    TColumnCalcType ColumnCalc(int col) const;
    void SetColumnCalc(int col, TColumnCalcType type);
    void Invalidate();
    // Copies CalculateHiddenRows, Color, Column, CustomTemplate, FooterStyle, Visible (through
    // its setter) and ShowHint.
    void Assign(const platform::TPersistent* source) override;

private:
    void changed(bool layout);
    TExtStringGrid* m_grid;
};

// The column filters (filled by the filtering part).
class TFilter : public platform::TPersistent {
public:
    // The conditions of the row filter (TExtStringGrid::ApplyFilter), owned, in order.
    explicit TFilter(TExtStringGrid* grid = nullptr);
    ~TFilter() override;
    TFilter(const TFilter&) = delete;
    TFilter& operator=(const TFilter&) = delete;
    void SetGrid(TExtStringGrid* grid) { m_grid = grid; }
    TExtStringGrid* Owner() const { return m_grid; }
    int Count() const { return int(m_items.size()); }
    // A new item at the end: foNONE when it is the only one, else foAND.
    TFilterData* Add();
    // A new item at the end (index is not used); its operation stays foSHORT.
    TFilterData* Insert(int index);
    TFilterData* Items(int index) const;
    void SetItems(int index, const TFilterData& value);
    void Delete(int index);
    void Clear();
    // The first item of the column, or a new one (Add) for it.
    TFilterData* ColumnFilter(int col);
    // Deletes every item of the column and repaints its header cell.
    void RemoveColumnFilter(int col);
    bool HasFilter(int col) const;
    // Copies the items of another filter.
    void Assign(const platform::TPersistent* source) override;

private:
    TExtStringGrid* m_grid;
    std::vector<std::unique_ptr<TFilterData>> m_items;
};

enum TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
enum TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
enum TFilterMethod { fmExpression, fmLiteral };

// One condition of the row filter: the column tested (a real column), the condition (empty
// accepts every row), which text of the cell is tested, a prefix and suffix cut away first,
// case sensitivity, how the result joins the results before it, and whether the condition is
// an expression or a literal.
class TFilterData : public platform::TPersistent {
public:
    short Column = 0;
    QString Condition;
    bool CaseSensitive = true;
    TFilterCells Data = fcVirtual;
    QString Prefix;
    QString Suffix;
    TFilterOperation Operation = foSHORT;
    TFilterMethod Method = fmExpression;
    // Copies all but Method; another class is an invalid cast (EInvalidCast).
    void Assign(const platform::TPersistent* source) override;
};

} // namespace controls::grid

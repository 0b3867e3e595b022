#include "controls/grid/core/GridSettings.h"

#include "controls/grid/core/ExtStringGrid.h"
#include "platform/core/Errors.h"

namespace controls::grid {

namespace {
template <typename T>
const T* sameClass(const platform::TPersistent* source)
{
    return dynamic_cast<const T*>(source);
}
} // namespace

// --- TCellNode ---------------------------------------------------------------------------------------

void TCellNode::changed()
{
    if (OnChange)
        OnChange(this);
}

void TCellNode::SetNodeType(TNodeType t)
{
    if (t == m_nodeType)
        return;
    m_nodeType = t;
    changed();
}

void TCellNode::SetNodeIndent(int n)
{
    if (n == m_nodeIndent)
        return;
    m_nodeIndent = n;
    changed();
}

void TCellNode::SetShowTree(bool on)
{
    if (on == m_showTree)
        return;
    m_showTree = on;
    changed();
}

void TCellNode::SetShowTreeFull(bool on)
{
    if (on == m_showTreeFull)
        return;
    m_showTreeFull = on;
    changed();
}

void TCellNode::SetTreeColor(platform::Color c)
{
    if (c == m_treeColor)
        return;
    m_treeColor = c;
    changed();
}

void TCellNode::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TCellNode>(source);
    if (!s)
        return;
    Color = s->Color;
    ExpandOne = s->ExpandOne;
    NodeColor = s->NodeColor;
    m_nodeType = s->m_nodeType;
    m_nodeIndent = s->m_nodeIndent;
    m_expandGlyph = s->m_expandGlyph;
    m_contractGlyph = s->m_contractGlyph;
    m_showTree = s->m_showTree;
    m_showTreeFull = s->m_showTreeFull;
    m_treeColor = s->m_treeColor;
}

// --- TColumnSize, THTMLSettings, TPrintSettings --------------------------------------------------------

void TColumnSize::SetStretch(bool on)
{
    m_stretch = on;
    if (OnStretchChange)
        OnStretchChange(this);
}

void TColumnSize::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TColumnSize>(source);
    if (!s)
        return;
    Rows = s->Rows;
    Save = s->Save;
    Key = s->Key;
    Section = s->Section;
    m_stretch = s->m_stretch;
    StretchColumn = s->StretchColumn;
    SynchWithGrid = s->SynchWithGrid;
    SynchNormalCellsOnly = s->SynchNormalCellsOnly;
    Location = s->Location;
}

void THTMLSettings::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<THTMLSettings>(source);
    if (!s)
        return;
    AutoPreview = s->AutoPreview;
    BorderSize = s->BorderSize;
    CellSpacing = s->CellSpacing;
    CellPadding = s->CellPadding;
    ConvertSpecialChars = s->ConvertSpecialChars;
    ExportImages = s->ExportImages;
    FooterFile = s->FooterFile;
    HeaderFile = s->HeaderFile;
    NonBreakingText = s->NonBreakingText;
    PrefixTag = s->PrefixTag;
    SaveColor = s->SaveColor;
    SaveFonts = s->SaveFonts;
    SuffixTag = s->SuffixTag;
    Summary = s->Summary;
    TableStyle = s->TableStyle;
    Width = s->Width;
    XHTML = s->XHTML;
}

void TPrintSettings::Assign(const platform::TPersistent* source)
{
    const TPrintSettings* s = platform::As<TPrintSettings>(static_cast<const platform::TObject*>(source));
    if (!s)
        return;
    const bool keepFixedCells = FixedCellsAlways;
    FooterSize = s->FooterSize;
    HeaderSize = s->HeaderSize;
    Time = s->Time;
    Date = s->Date;
    PageNr = s->PageNr;
    Title = s->Title;
    DateFormat = s->DateFormat;
    TitleText = s->TitleText;
    TitleLines.Assign(&s->TitleLines);
    Font = s->Font;
    FixedFont = s->FixedFont;
    HeaderFont = s->HeaderFont;
    FooterFont = s->FooterFont;
    Borders = s->Borders;
    BorderStyle = s->BorderStyle;
    BorderColor = s->BorderColor;
    Centered = s->Centered;
    RepeatFixedRows = s->RepeatFixedRows;
    RepeatFixedCols = s->RepeatFixedCols;
    LeftSize = s->LeftSize;
    RightSize = s->RightSize;
    ColumnSpacing = s->ColumnSpacing;
    RowSpacing = s->RowSpacing;
    TitleSpacing = s->TitleSpacing;
    Orientation = s->Orientation;
    PagePrefix = s->PagePrefix;
    PageSuffix = s->PageSuffix;
    PageNumberOffset = s->PageNumberOffset;
    MaxPagesOffset = s->MaxPagesOffset;
    FixedWidth = s->FixedWidth;
    FixedHeight = s->FixedHeight;
    UseFixedHeight = s->UseFixedHeight;
    UseFixedWidth = s->UseFixedWidth;
    FitToPage = s->FitToPage;
    JobName = s->JobName;
    PageNumSep = s->PageNumSep;
    NoAutoSize = s->NoAutoSize;
    NoAutoSizeRow = s->NoAutoSizeRow;
    PrintGraphics = s->PrintGraphics;
    UseDisplayFont = s->UseDisplayFont;
    UseDefaultOrientation = s->UseDefaultOrientation;
    FixedCellsAlways = keepFixedCells;
}

// --- TControlLook ----------------------------------------------------------------------------------------

TControlLook::TControlLook(TExtStringGrid* grid) : m_grid(grid) { Init(); }

void TControlLook::Init()
{
    m_Color = 0;
    m_CommentColor = 0x0000FF;
    for (platform::Color& c : m_fixed)
        c = clNone;
    FixedGradientHoverFrom = 0xFFFFFF;
    FixedGradientHoverTo = 0x808080;
    FixedGradientHoverMirrorFrom = clNone;
    FixedGradientHoverMirrorTo = clNone;
    FixedGradientHoverBorder = 0xC0C0C0;
    FixedGradientDownFrom = 0xC0C0C0;
    FixedGradientDownTo = 0x808080;
    FixedGradientDownMirrorFrom = clNone;
    FixedGradientDownMirrorTo = clNone;
    FixedGradientDownBorder = 0x808080;
    ProgressBorderColor = 0x808080;
}

void TControlLook::changed()
{
    if (OnChange)
        OnChange(this);
}

void TControlLook::SetFixedGradientFrom(platform::Color c)
{
    m_fixed[0] = c;
    if (c != clNone && m_grid)
        m_grid->SetVekkoGradientFrom(c);
}

void TControlLook::SetFixedGradientTo(platform::Color c)
{
    m_fixed[1] = c;
    if (c != clNone && m_grid)
        m_grid->SetVekkoGradientTo(c);
}

void TControlLook::SetFixedGradientMirrorFrom(platform::Color c)
{
    m_fixed[2] = c;
    if (m_grid)
        m_grid->SetVekkoGradientMirrorFrom(c);
}

void TControlLook::SetFixedGradientMirrorTo(platform::Color c)
{
    m_fixed[3] = c;
    if (m_grid)
        m_grid->SetVekkoGradientMirrorTo(c);
}

void TControlLook::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TControlLook>(source);
    if (!s)
        return;
    m_CheckSize = s->m_CheckSize;
    m_RadioSize = s->m_RadioSize;
    m_ControlStyle = s->m_ControlStyle;
    CheckedGlyph = s->CheckedGlyph;
    UnCheckedGlyph = s->UnCheckedGlyph;
    RadioOnGlyph = s->RadioOnGlyph;
    RadioOffGlyph = s->RadioOffGlyph;
    m_ProgressMarginX = s->m_ProgressMarginX;
    m_ProgressMarginY = s->m_ProgressMarginY;
    m_CommentColor = s->m_CommentColor;
    m_Color = s->m_Color;
    ProgressBorderColor = s->ProgressBorderColor;
    CheckAlwaysActive = s->CheckAlwaysActive;
    RadioAlwaysActive = s->RadioAlwaysActive;
    SetFixedGradientFrom(s->FixedGradientFrom());
    SetFixedGradientTo(s->FixedGradientTo());
    SetFixedGradientMirrorFrom(s->FixedGradientMirrorFrom());
    SetFixedGradientMirrorTo(s->FixedGradientMirrorTo());
    FixedGradientHoverFrom = s->FixedGradientHoverFrom;
    FixedGradientHoverTo = s->FixedGradientHoverTo;
    FixedGradientHoverMirrorFrom = s->FixedGradientHoverMirrorFrom;
    FixedGradientHoverMirrorTo = s->FixedGradientHoverMirrorTo;
    FixedGradientHoverBorder = s->FixedGradientHoverBorder;
    FixedGradientDownFrom = s->FixedGradientDownFrom;
    FixedGradientDownTo = s->FixedGradientDownTo;
    FixedGradientDownMirrorFrom = s->FixedGradientDownMirrorFrom;
    FixedGradientDownMirrorTo = s->FixedGradientDownMirrorTo;
    FixedGradientDownBorder = s->FixedGradientDownBorder;
    m_DropDownAlwaysVisible = s->m_DropDownAlwaysVisible;
    m_SpinButtonsAlwaysVisible = s->m_SpinButtonsAlwaysVisible;
    DropDownCount = s->DropDownCount;
    DropDownFooter.Assign(&s->DropDownFooter);
    DropDownHeader.Assign(&s->DropDownHeader);
    HintMaxWidth = s->HintMaxWidth;
    changed();
}

// --- grouping, drag and drop, balloons, modified rows, background -------------------------------------------

void TGrouping::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TGrouping>(source);
    if (!s)
        return;
    GroupCountFormat = s->GroupCountFormat;
    HeaderColor = s->HeaderColor;
    HeaderColorTo = s->HeaderColorTo;
    HeaderTextColor = s->HeaderTextColor;
    HeaderUnderline = s->HeaderUnderline;
    MergeHeader = s->MergeHeader;
    MergeSummary = s->MergeSummary;
    ShowGroupCount = s->ShowGroupCount;
    SummaryColor = s->SummaryColor;
    SummaryColorTo = s->SummaryColorTo;
    SummaryTextColor = s->SummaryTextColor;
    SummaryLine = s->SummaryLine;
    AutoCheckGroup = s->AutoCheckGroup;
    AutoSelectGroup = s->AutoSelectGroup;
}

void TDragDropSettings::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TDragDropSettings>(source);
    if (!s)
        return;
    const bool target = s->m_oleDropTarget;
    *this = *s;
    SetOleDropTarget(target);
}

void TBalloonSettings::SetEnable(bool on)
{
    m_enable = on;
    if (OnEnableChange)
        OnEnableChange(this);
}

void TBalloonSettings::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TBalloonSettings>(source);
    if (!s)
        return;
    TextColor = s->TextColor;
    BackgroundColor = s->BackgroundColor;
    InitialDelay = s->InitialDelay;
    AutoHideDelay = s->AutoHideDelay;
    ReshowDelay = s->ReshowDelay;
    m_enable = s->m_enable;
}

void TShowModified::SetColor(platform::Color c)
{
    m_color = c;
    if (OnChange)
        OnChange(this);
}

void TShowModified::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TShowModified>(source);
    if (!s)
        return;
    m_color = s->m_color;
    Enabled = s->Enabled;
}

void TBackGround::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TBackGround>(source);
    if (!s)
        return;
    m_Top = s->m_Top;
    m_Left = s->m_Left;
    m_Display = s->m_Display;
    m_Bitmap = s->m_Bitmap;
    m_Cells = s->m_Cells;
    m_Color = s->m_Color;
    SetColorTo(s->m_ColorTo);
}

void TGridChangeNotifier::CellsChanged(const QRect&) {}

// --- drag scrolling, progress, filter drop-down -----------------------------------------------------------------

void TDragScrollDelays::Assign(const platform::TPersistent* source)
{
    if (const auto* s = sameClass<TDragScrollDelays>(source)) {
        InitialDelay = s->InitialDelay;
        RepeatDelay = s->RepeatDelay;
    }
}

void TDragScrollMargins::Assign(const platform::TPersistent* source)
{
    if (const auto* s = sameClass<TDragScrollMargins>(source)) {
        TopMargin = s->TopMargin;
        BottomMargin = s->BottomMargin;
        LeftMargin = s->LeftMargin;
        RightMargin = s->RightMargin;
    }
}

void TDragScrollOptions::Assign(const platform::TPersistent* source)
{
    if (const auto* s = sameClass<TDragScrollOptions>(source)) {
        Margins.Assign(&s->Margins);
        Delays.Assign(&s->Delays);
        Active = s->Active;
    }
}

void TGridProgressAppearance::changed()
{
    if (OnChange)
        OnChange(this);
}

void TGridProgressAppearance::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TGridProgressAppearance>(source);
    if (!s)
        return;
    const platform::TNotifyEvent onChange = OnChange;
    *this = *s;
    OnChange = onChange;
    changed();
}

void TFilterDropDown::SetGlyph(const platform::Bitmap& b)
{
    m_glyph = b;
    if (OnChange)
        OnChange(this);
}

void TFilterDropDown::SetGlyphActive(const platform::Bitmap& b)
{
    m_glyphActive = b;
    if (OnChange)
        OnChange(this);
}

void TFilterDropDown::Assign(const platform::TPersistent* source)
{
    const auto* s = sameClass<TFilterDropDown>(source);
    if (!s)
        return;
    Color = s->Color;
    ColumnWidth = s->ColumnWidth;
    Font = s->Font;
    Height = s->Height;
    Width = s->Width;
    m_glyph = s->m_glyph;
    m_glyphActive = s->m_glyphActive;
}

} // namespace controls::grid

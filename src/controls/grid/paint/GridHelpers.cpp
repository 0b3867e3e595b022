// Small services around the painted grid: its version text, the layout of the search bar from
// the SearchFooter settings, the dotted lines of a border being sized, and the quick
// configuration panel shown while a form is designed.
#include "controls/grid/paint/GridPaint.h"

#include <QAction>
#include <QCursor>
#include <QFontMetrics>
#include <QMenu>

namespace controls::grid {

using platform::Brush;
using platform::BrushStyle;
using platform::Pen;
using platform::PenStyle;

QString TExtStringGridPaint::GetVersionString() const { return Version() + QStringLiteral(" Sep, 2012"); }

void TExtStringGridPaint::UpdateSearchFooter()
{
    if (IsLoading())
        return;
    // Highlights go when the bar closes with its highlight button down, or before every update
    // with AlwaysHighLight.
    if (m_searchPanel
        && ((m_searchPanel->HiliteButton()->Down() && !m_searchPanel->isHidden() && !SearchFooter.Visible())
            || SearchFooter.AlwaysHighLight()))
        UnHilightInGrid(false);
    TSearchPanelLayout& l = m_searchLayout;
    const TSearchFooter& f = SearchFooter;
    const TControlStyle style = ControlLook.ControlStyle();
    l.ThemeAdapt = f.AutoThemeAdapt;
    l.FlatButtons = style == csFlat || f.AutoThemeAdapt;
    l.AutoXPStyle = !f.AutoThemeAdapt && (style == csWinXP || style == csTheme);
    l.HighLight = f.ShowHighLight();
    l.Close = f.ShowClose();
    l.MatchCase = f.ShowMatchCase();
    l.FindPrev = f.ShowFindPrev();
    l.FindNext = f.ShowFindNext();
    l.ButtonHeight[0] = l.FindNext ? 23 : 0;
    l.ButtonHeight[1] = l.FindPrev ? 23 : 0;
    l.ButtonHeight[2] = l.HighLight ? 23 : 0;
    l.ButtonHeight[3] = l.Close ? 23 : 0;
    l.MatchCaseHeight = l.MatchCase ? 18 : 0;
    l.MatchCaseLeft = l.HighLight ? 425 : 330;
    l.Hints[0] = f.HintFindNext();
    l.Hints[1] = f.HintFindPrev();
    l.Hints[2] = f.HintHighlight();
    l.Hints[3] = f.HintClose();
    l.Visible = f.Visible();
    l.Height = l.Visible ? 32 : 0;
    l.Top = l.Visible ? height() - 32 : height();
    ApplySearchPanel();
}

void TExtStringGridPaint::DrawColSizingLine(int x)
{
    m_colSizingLine = m_colSizingLine == x ? -1 : x;
    viewport()->update();
}

void TExtStringGridPaint::DrawRowSizingLine(int y)
{
    m_rowSizingLine = m_rowSizingLine == y ? -1 : y;
    viewport()->update();
}

// --- the design-time panel ---------------------------------------------------------------------------

namespace {

QFont panelFont()
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(8);
    return f;
}

} // namespace

int TExtStringGridPaint::DesignHelperHitTest(int x, int y)
{
    const QFontMetrics fm(panelFont());
    const int h = fm.height();
    const int h2 = h + 2;
    const int p = 4 * h + 18;
    const int right = viewport()->width();
    const int bottom = viewport()->height();
    int result = -1;
    if (x > right - 16 && y > bottom - p && y < bottom - p + 16)
        result = 4;
    if (x > right - 150 && x < right - 132 + fm.horizontalAdvance(QStringLiteral("Allow edit"))
        && y > bottom + h2 - p + 4 && y < bottom + 2 * h2 - p + 4)
        result = 1;
    if (x > right - 150 && x < right - 132 + fm.horizontalAdvance(QStringLiteral("Column numbers"))
        && y > bottom + 2 * h2 - p + 4 && y < bottom + 3 * h2 - p + 4)
        result = 2;
    const QString look = QStringLiteral("Set look: ") + LookToCaption(Look());
    if (x > right - 150 && x < right - 150 + fm.horizontalAdvance(look) && y > bottom + 3 * h2 - p + 4
        && y < bottom + 4 * h2 - p + 4)
        result = 3;
    return result;
}

void TExtStringGridPaint::DesignHelperMouseUp(int x, int y)
{
    const int item = DesignHelperHitTest(x, y);
    switch (item) {
    case 1:
        setOptions(options() ^ platform::goEditing);
        break;
    case 2:
        ShowColNrs = !ShowColNrs;
        invalidate();
        break;
    case 3: {
        int id = 0;
        if (DesignLookMenu) {
            id = DesignLookMenu(viewport()->mapToGlobal(QPoint(x, y)));
        } else {
            QMenu menu;
            const TGridLook looks[] = {glStandard, glSoft, glClassic, glVekko, glListView, glOffice2007,
                                       glXP,       glVista, glWin7};
            for (TGridLook l : looks) {
                QAction* a = menu.addAction(LookToCaption(l));
                a->setData(int(l) + 1);
                a->setCheckable(true);
                a->setChecked(l == Look());
            }
            if (QAction* chosen = menu.exec(viewport()->mapToGlobal(QPoint(x, y))))
                id = chosen->data().toInt();
        }
        if (id >= 1 && id <= 9)
            SetLook(TGridLook(id - 1));
        break;
    }
    case 4:
        SetShowDesignHelper(false);
        break;
    default:
        return;
    }
    // The form's designer notices a change by a size change of the form.
    if (item >= 1 && item <= 3) {
        if (QWidget* form = window(); form && form != this) {
            form->resize(form->width() - 1, form->height());
            form->resize(form->width() + 1, form->height());
        }
    }
}

void TExtStringGridPaint::PaintDesignHelper(Canvas& canvas)
{
    const QFont font = panelFont();
    const int h = QFontMetrics(font).height();
    const Rect r{viewport()->width() - 150, viewport()->height() - (4 * h + 18), viewport()->width(),
                 viewport()->height()};
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    const int hot = DesignHelperHitTest(mouse.x(), mouse.y());
    canvas.brush() = Brush{platform::clInfoBk, BrushStyle::Solid};
    canvas.pen() = Pen{platform::clGray, 1, PenStyle::Solid};
    canvas.rectangle(r);
    canvas.setBkMode(platform::BkMode::Transparent);
    auto text = [&](int x, int y, const QString& s, bool underline) {
        canvas.font() = platform::Font{font, platform::clNavy, 0};
        canvas.font().font.setUnderline(underline);
        canvas.textOut(x, y, s);
    };
    text(r.left + 4, r.top + 4, QStringLiteral("Quick config [v") + GetVersionString() + QLatin1Char(']'), true);
    // The close mark.
    canvas.pen() = Pen{platform::clNavy, 1, PenStyle::Solid};
    canvas.moveTo(r.right - 13, r.top + 5);
    canvas.lineTo(r.right - 5, r.top + 13);
    canvas.moveTo(r.right - 5, r.top + 5);
    canvas.lineTo(r.right - 13, r.top + 13);
    DrawCheck(canvas, Rect{r.left + 4, r.top + h + 4, r.left + 20, r.top + h + 20}, options().testFlag(platform::goEditing),
              cbUnchecked, false, csWinXP, false, true);
    text(r.left + 22, r.top + h + 6, QStringLiteral("Allow edit"), hot == 1);
    DrawCheck(canvas, Rect{r.left + 4, r.top + 2 * h + 6, r.left + 20, r.top + 2 * h + 22}, ShowColNrs, cbUnchecked, false,
              csWinXP, false, true);
    text(r.left + 22, r.top + 2 * h + 8, QStringLiteral("Column numbers"), hot == 2);
    text(r.left + 4, r.top + 3 * h + 10, QStringLiteral("Set look: ") + LookToCaption(Look()), hot == 3);
}

} // namespace controls::grid

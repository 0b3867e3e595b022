#pragma once
// TExtPageControl: a tabbed page control. A strip of tabs, one per page whose tab is visible,
// and the pages (TExtTabSheet), of which exactly the active one is shown. The control lays the
// tabs out and hit-tests them itself (the part a native tab strip would do), and paints the
// whole strip on the platform canvas (TabPainter.cpp): strip background, page frame, each
// tab's fill or gradient or picture, outline, close button, image, caption (rotated for tabs
// on the left or right) and focus frame, and the hover outline.
//
//     auto* pages = new controls::TExtPageControl(window);
//     auto* first = new controls::TExtTabSheet(window);
//     first->setPageControl(pages);            // attached: gets a tab
//     first->setCaption(QStringLiteral("Nodes"));
//     pages->setActivePage(first);
//
// Indexes: a page index counts every page of the control (PageCount, GetPage); a tab index
// counts only pages whose tab is showing (attached and TabVisible). A sheet's TabIndex is -1
// while its tab is not showing.
//
// The strip keeps one string per showing tab (tabStrings()): the sheet's tab caption, which
// sizes the tab. A caption without a close button hands the strip its text without the last
// two characters, one with a close button its text and one blank; the painter draws the full
// caption. Every tab also reserves room for an image of the "dummy" size (the real image
// list's size plus the margins): the painter uses that room for margins, close button and
// image.
//
// Tab layout (what a native strip decides): along the strip each tab is TabWidth long, or its
// string's width in the control font + 12 + the reserved room; across it TabHeight, or the
// font's height + 6. Tabs start 2 pixels in from the control's edges; with MultiLine (always for
// tabs on the left or right) a tab that would pass the far edge starts a new row (column),
// and the row of the current tab lies next to the pages. The pages fill the area inside the
// strip, 4 pixels in from the frame.
//
// Changing pages: a click on a tab, Ctrl+Tab / Ctrl+Shift+Tab anywhere inside the control, the
// arrow keys while the strip itself has the focus, or ActivePage in code. The user's changes
// ask CanChange (OnCanChange with the active page index and the page under the pointer, then
// OnChanging) and end in Change (UpdateActivePage, OnChange). ChangeActivePage refuses a page
// whose tab is disabled; the strip then stays on the active page's tab. When the focus was on
// the old page it moves to the new page's first control.
//
// Hover (TabHoverColor set): the tab under the pointer is drawn in the hover colours and,
// when it is not the active one, outlined in TabHoverBorder. Close buttons (ShowClose): only
// the active page's reacts; pressed and released on it, OnCanClose / OnClose run, the next
// page becomes active and the closed page is destroyed (FreeOnClose) or kept in the
// closed-tab list under its object name, from where OpenClosedTab brings it back.
//
// Docking of other windows into pages and design-time behaviour have no counterpart here.
#include "controls/pages/TabMargin.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"

#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

namespace platform {
class TImageList;
}

namespace controls {

class TExtPageControl;

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum class TTabStyle { tsClassic, tsDotNet };
enum class TGradientDirection { gdVertical, gdHorizontal };

class TExtTabSheet : public QWidget {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TExtTabSheet* sender)>;
    using CanCloseEvent = std::function<void(TExtTabSheet* sender, bool& canClose)>;

    explicit TExtTabSheet(QWidget* owner = nullptr);
    ~TExtTabSheet() override;

    TExtPageControl* pageControl() const { return m_pageControl; }
    // Attaches the sheet to a control (at the end of its pages), or detaches it (nullptr).
    void setPageControl(TExtPageControl* control);

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // What the strip holds for this page (see the header comment).
    QString tabCaption() const { return m_tabCaption; }

    bool showClose() const { return m_showClose; }
    void setShowClose(bool on);
    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int index);
    int imageIndexDummy() const { return m_imageIndexDummy; }
    bool tabVisible() const { return m_tabVisible; }
    void setTabVisible(bool on);
    bool tabShowing() const { return m_tabShowing; }
    bool tabEnable() const { return m_tabEnable; }
    // Refused with platform::UserError "Can not disable active tab." for the active page.
    void setTabEnable(bool on);
    bool highlighted() const { return m_highlighted; }
    void setHighlighted(bool on);

    platform::Color textColor() const { return m_textColor; }
    void setTextColor(platform::Color c);
    platform::Color color() const { return m_color; }
    void setColor(platform::Color c);
    platform::Color colorTo() const { return m_colorTo; }
    void setColorTo(platform::Color c);
    platform::Color tabColor() const { return m_tabColor; }
    void setTabColor(platform::Color c);
    platform::Color tabColorTo() const { return m_tabColorTo; }
    void setTabColorTo(platform::Color c);
    TGradientDirection tabGradientDirection() const { return m_tabGradientDirection; }
    void setTabGradientDirection(TGradientDirection d);
    TGradientDirection hoverGradientDirection() const { return m_hoverGradientDirection; }
    void setHoverGradientDirection(TGradientDirection d) { m_hoverGradientDirection = d; }

    // Position in the control's page list (-1 when detached). Moving past the last page is
    // refused with platform::UserError "<n> is an invalid PageIndex value.  PageIndex must be
    // between 0 and <count - 1>".
    int pageIndex() const;
    void setPageIndex(int index);
    int TabIndex() const;

    NotifyEvent OnShow;
    NotifyEvent OnHide;
    NotifyEvent OnClose;
    CanCloseEvent OnCanClose;

    void DoClose();
    bool CanCloseTab();

protected:
    void paintEvent(QPaintEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    friend class TExtPageControl;
    void UpdateTabShowing();
    void SetTabShowing(bool on);
    void refreshCaption();
    void invalidateControl();
    void DoShow();
    void DoHide();

    TExtPageControl* m_pageControl = nullptr;
    QString m_caption;
    QString m_tabCaption;
    platform::Color m_textColor = platform::clBlack;
    platform::Color m_color = platform::clBtnFace;
    platform::Color m_colorTo = platform::clNone;
    platform::Color m_tabColor = platform::clNone;
    platform::Color m_tabColorTo = platform::clNone;
    bool m_showClose = false;
    TGradientDirection m_tabGradientDirection = TGradientDirection::gdVertical;
    TGradientDirection m_hoverGradientDirection = TGradientDirection::gdVertical;
    int m_imageIndex = -1;
    int m_imageIndexDummy = 0;
    bool m_tabVisible = true;
    bool m_tabShowing = false;
    bool m_highlighted = false;
    bool m_tabEnable = true;
};

class TExtPageControl : public QWidget {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TExtPageControl* sender)>;
    using ChangingEvent = std::function<void(TExtPageControl* sender, bool& allowChange)>;
    using CanChangeEvent = std::function<void(TExtPageControl* sender, int fromPage, int toPage, bool& allow)>;
    using GetImageIndexEvent = std::function<int(TExtPageControl* sender, int tabIndex)>;

    explicit TExtPageControl(QWidget* parent = nullptr);
    ~TExtPageControl() override;

    // --- pages ------------------------------------------------------------------------------
    int PageCount() const { return int(m_pages.size()); }
    TExtTabSheet* GetPage(int index) const;
    TExtTabSheet* activePage() const { return m_activePage; }
    void setActivePage(TExtTabSheet* page);
    int activePageIndex() const;
    void setActivePageIndex(int index);
    // From `current` one page forward or backward with wrap-around: the first page whose tab
    // is visible (any page without the check); none after a full pass or without pages.
    TExtTabSheet* FindNextPage(TExtTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward);
    bool CanShowTab(int pageIndex) const;
    // Makes `control` the active page when it is one of this control's pages.
    void ShowControl(QWidget* control);
    // Moves a page of this control to `order` in the page list.
    void SetChildOrder(QWidget* child, int order);
    int GetImageIndex(int tabIndex) const;
    virtual void UpdateActivePage();

    // Closed tabs: object name and sheet, in the order closed (a page closed twice is listed
    // twice).
    const std::vector<std::pair<QString, QPointer<TExtTabSheet>>>& closedTabs() const { return m_closedTabs; }
    bool OpenClosedTab(const QString& name);
    void OpenAllClosedTabs();

    // --- the strip --------------------------------------------------------------------------
    // The strip's current tab (-1: none).
    int tabIndex() const { return m_tabIndex; }
    QStringList tabStrings() const;
    // The tab's rectangle in client pixels (empty for an index outside the tabs).
    platform::Rect tabRect(int tabIndex) const;
    platform::Rect TabRectOfPage(int pageIndex) const;
    // The tab index at a client point, -1 for none.
    int TabIndexAtPoint(int x, int y) const;
    // The page area the sheets fill.
    platform::Rect displayRect() const;
    // The room every tab keeps for an image (width, height).
    QSize dummyImageSize() const { return QSize(m_dummyWidth, m_dummyHeight); }

    // --- looks ------------------------------------------------------------------------------
    TTabPosition tabPosition() const { return m_tabPosition; }
    void setTabPosition(TTabPosition p);
    bool multiLine() const { return m_multiLine; }
    void setMultiLine(bool on);
    int tabHeight() const { return m_tabHeight; }
    void setTabHeight(int h);
    int tabWidth() const { return m_tabWidth; }
    void setTabWidth(int w);
    TTabStyle tabStyle() const { return m_tabStyle; }
    void setTabStyle(TTabStyle s);
    TTabMargin& tabMargin() { return m_tabMargin; }
    const TTabMargin& tabMargin() const { return m_tabMargin; }
    // Copies the margins; none is ignored.
    void setTabMargin(const TTabMargin* margin);
    platform::TImageList* images() const { return m_images; }
    void setImages(platform::TImageList* images);

    platform::Color defaultTextColor() const { return m_defaultTextColor; }
    void setDefaultTextColor(platform::Color c);
    platform::Color defaultTabColor() const { return m_defaultTabColor; }
    void setDefaultTabColor(platform::Color c);
    platform::Color defaultTabColorTo() const { return m_defaultTabColorTo; }
    void setDefaultTabColorTo(platform::Color c);
    platform::Color activeColor() const { return m_activeColor; }
    void setActiveColor(platform::Color c);
    platform::Color activeColorTo() const { return m_activeColorTo; }
    void setActiveColorTo(platform::Color c);
    bool tabBorder3D() const { return m_tabBorder3D; }
    void setTabBorder3D(bool on);
    platform::Color tabBorderColor() const { return m_tabBorderColor; }
    void setTabBorderColor(platform::Color c);
    platform::Color tabHoverColor() const { return m_tabHoverColor; }
    void setTabHoverColor(platform::Color c);
    platform::Color tabHoverColorTo() const { return m_tabHoverColorTo; }
    void setTabHoverColorTo(platform::Color c);
    platform::Color tabHoverBorder() const { return m_tabHoverBorder; }
    void setTabHoverBorder(platform::Color c);
    bool showFocus() const { return m_showFocus; }
    void setShowFocus(bool on);
    int tabOverlap() const { return m_tabOverlap; }
    void setTabOverlap(int pixels); // 0..15
    bool tabSheet3D() const { return m_tabSheet3D; }
    void setTabSheet3D(bool on);
    platform::Color tabSheetBorderColor() const { return m_tabSheetBorderColor; }
    void setTabSheetBorderColor(platform::Color c);
    platform::Color tabBackGroundColor() const { return m_tabBackGroundColor; }
    void setTabBackGroundColor(platform::Color c);
    bool tabSplitLine() const { return m_tabSplitLine; }
    // Refused with platform::UserError "TabSplitLine must be false when TabStyle is tsDotNet".
    void setTabSplitLine(bool on);
    bool roundEdges() const { return m_roundEdges; }
    void setRoundEdges(bool on);
    int lowerActive() const { return m_lowerActive; }
    void setLowerActive(int pixels);
    bool freeOnClose() const { return m_freeOnClose; }
    void setFreeOnClose(bool on) { m_freeOnClose = on; }
    const platform::Font& activeFont() const { return m_activeFont; }
    void setActiveFont(const platform::Font& f);
    // The control colour (the page area's background behind the sheets).
    platform::Color color() const { return m_color; }
    void setColor(platform::Color c);
    platform::Color fontColor() const { return m_fontColor; }
    void setFontColor(platform::Color c);
    const platform::Bitmap& tabBackGround() const { return m_tabBackGround; }
    void setTabBackGround(const platform::Bitmap& b);
    const platform::Bitmap& tabBackGroundActive() const { return m_tabBackGroundActive; }
    void setTabBackGroundActive(const platform::Bitmap& b);
    const platform::Bitmap& closeGlyph() const { return m_closeGlyph; }
    void setCloseGlyph(const platform::Bitmap& b);
    int hoverTab() const { return m_hoverTab; }
    // "1.4.0.0" and the same as one number, 1 in the top byte.
    static QString Version();
    static int VersionNr();

    // --- events -----------------------------------------------------------------------------
    NotifyEvent OnChange;
    ChangingEvent OnChanging;
    CanChangeEvent OnCanChange;
    GetImageIndexEvent OnGetImageIndex;

    // --- painting (TabPainter.cpp) ----------------------------------------------------------
    void PaintTabs(platform::Canvas& canvas);
    void DrawFocusFrame(platform::Canvas& canvas, platform::Rect r, bool isActive, int overlap);
    void DrawCloseButton(platform::Canvas& canvas, const platform::Rect& tabRect, bool isActive);
    void DrawCloseButtonHot(platform::Canvas& canvas, const platform::Rect& tabRect);
    void DrawCloseButtonDown(platform::Canvas& canvas, const platform::Rect& tabRect);
    void DrawCloseGlyph(platform::Canvas& canvas, QPoint topLeft);
    bool PtInCloseButton(int pageIndex, int x, int y) const;

    // The user's change of page: CanChange, then the strip moves to `tabIndex` and Change runs.
    void selectTab(int tabIndex);
    // The pointer position CanChange asks about (client coordinates); tests may set it.
    std::function<QPoint()> pointerPosition;

protected:
    // The strip's notifications and the inherited checks.
    virtual bool CanChange();
    virtual void Change();

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    friend class TExtTabSheet;
    struct Layout {
        std::vector<platform::Rect> tabs; // per tab index
        int depth = 0;                    // the strip's depth from the control's edge
        int forTabIndex = -2;             // the current tab it was laid out for
    };

    void InsertPage(TExtTabSheet* page);
    void RemovePage(TExtTabSheet* page);
    void InsertTab(TExtTabSheet* page);
    void DeleteTab(TExtTabSheet* page, int index);
    void MoveTab(int from, int to);
    void UpdateTab(TExtTabSheet* page);
    void UpdateTabCaptionWidth(TExtTabSheet* page);
    void ChangeActivePage(TExtTabSheet* page);
    void MarginChanged(int newValue, int oldValue, int index);
    void ActiveFontChanged();
    void UpdateDummyImageSize();
    void InternalChange();
    bool verticalTabs() const;
    void relayout();
    const Layout& layout() const;
    int pageIndexAtPointer() const;
    TExtTabSheet* tabPage(int tabIndex) const;
    void invalidateTab(int pageIndex);
    void closeActivePage();

    std::vector<TExtTabSheet*> m_pages;
    TExtTabSheet* m_activePage = nullptr;
    TTabMargin m_tabMargin;
    std::vector<std::pair<QString, QPointer<TExtTabSheet>>> m_closedTabs;
    platform::TImageList* m_images = nullptr;
    int m_dummyWidth = 0;
    int m_dummyHeight = 0;

    // The strip.
    std::vector<std::pair<QString, TExtTabSheet*>> m_tabs;
    int m_tabIndex = -1;
    mutable Layout m_layout;
    mutable bool m_layoutValid = false;

    TTabPosition m_tabPosition = TTabPosition::tpTop;
    bool m_multiLine = false;
    int m_tabHeight = 0;
    int m_tabWidth = 0;
    platform::Color m_defaultTextColor = platform::clBlack;
    platform::Color m_defaultTabColor = platform::clBtnFace;
    platform::Color m_defaultTabColorTo = platform::clNone;
    platform::Color m_activeColor = platform::clBtnFace;
    platform::Color m_activeColorTo = platform::clNone;
    bool m_tabBorder3D = false;
    platform::Color m_tabBorderColor = platform::rgb(128, 128, 128);
    platform::Color m_tabHoverColor = platform::clNone;
    platform::Color m_tabHoverColorTo = platform::clNone;
    platform::Color m_tabHoverBorder = platform::clNone;
    bool m_showFocus = false;
    bool m_hoverClosedButton = false;
    bool m_closePressed = false;
    int m_tabOverlap = 0;
    bool m_tabSheet3D = false;
    platform::Color m_tabSheetBorderColor = platform::rgb(128, 128, 128);
    platform::Color m_tabBackGroundColor = platform::clBtnFace;
    bool m_tabSplitLine = false;
    bool m_roundEdges = false;
    int m_hoverTab = -1;
    platform::Bitmap m_tabBackGround;
    platform::Bitmap m_tabBackGroundActive;
    TTabStyle m_tabStyle = TTabStyle::tsClassic;
    int m_lowerActive = 2;
    bool m_freeOnClose = false;
    platform::Font m_activeFont;
    platform::Bitmap m_closeGlyph;
    platform::Color m_color = platform::clBtnFace;
    platform::Color m_fontColor = platform::clWindowText;
    bool m_destroying = false;
};

// A stepped gradient over r: `steps` bands (0 counts as 1) from `from` to `to`, left to right
// when `horizontal`, else top to bottom.
void DrawPageGradient(platform::Canvas& canvas, platform::Color from, platform::Color to, int steps,
                      const platform::Rect& r, bool horizontal);
// Copies a part of the bitmap onto the canvas, leaving the canvas where the bitmap has the
// transparent colour; the stretched form scales the part to the target size.
void BlitTransparent(platform::Canvas& target, const platform::Bitmap& bitmap, int x, int y, int width, int height,
                     int sourceX, int sourceY, platform::Color transparent);
void StretchBlitTransparent(platform::Canvas& target, const platform::Bitmap& bitmap, int x, int y, int width,
                            int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                            platform::Color transparent);
// A tab picture in three parts: the first and last halves as they are, the two middle rows
// (columns) stretched so that the whole is `total` pixels high (wide).
void DrawTabBitmapVertical(const platform::Bitmap& bitmap, platform::Canvas& canvas, int x, int y, int total);
void DrawTabBitmapHorizontal(const platform::Bitmap& bitmap, platform::Canvas& canvas, int x, int y, int total);

} // namespace controls

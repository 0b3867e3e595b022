#include "controls/pages/ExtPageControl.h"

#include "platform/draw/Graphics.h"
#include "platform/text/UserError.h"
#include "platform/ui/Dialogs.h"

#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <algorithm>
#include <exception>

namespace controls {

using platform::Color;
using platform::Rect;

namespace {

// The padding a tab keeps around its string along the strip, and across it.
constexpr int kTabPaddingAlong = 12;
constexpr int kTabPaddingAcross = 6;
// Tabs start this far from the control's edges.
constexpr int kStripStart = 2;

// Runs a page's show or hide handler; what it raises is shown, and the page change goes on.
void runHandler(const std::function<void(TExtTabSheet*)>& handler, TExtTabSheet* sheet)
{
    if (!handler)
        return;
    try {
        handler(sheet);
    } catch (const platform::UserError& e) {
        platform::showError(e.message());
    } catch (const std::exception& e) {
        platform::showError(QString::fromLocal8Bit(e.what()));
    }
}

// The first control of a page that takes the focus with the Tab key, in focus order.
QWidget* firstControl(QWidget* page)
{
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(page->window()))
            return w;
    }
    return nullptr;
}

bool canTakeFocus(const QWidget* w)
{
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (!p->isEnabled() || p->isHidden())
            return false;
        if (p->isWindow())
            break;
    }
    return true;
}

} // namespace

// --- TExtTabSheet -------------------------------------------------------------------------------

TExtTabSheet::TExtTabSheet(QWidget* owner) : QWidget(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

TExtTabSheet::~TExtTabSheet()
{
    if (m_pageControl && !m_pageControl->m_destroying)
        m_pageControl->RemovePage(this);
}

void TExtTabSheet::setPageControl(TExtPageControl* control)
{
    if (control == m_pageControl)
        return;
    if (m_pageControl)
        m_pageControl->RemovePage(this);
    if (!control)
        return;
    control->InsertPage(this);
    if (m_textColor == 0)
        setTextColor(control->defaultTextColor());
    if (m_tabColor == platform::clNone)
        setTabColor(control->defaultTabColor());
    if (m_tabColorTo == platform::clNone)
        setTabColorTo(control->defaultTabColorTo());
}

void TExtTabSheet::refreshCaption()
{
    m_tabCaption = m_showClose ? m_caption + QLatin1Char(' ') : m_caption.left(std::max<qsizetype>(0, m_caption.size() - 2));
    if (m_pageControl && m_tabShowing)
        m_pageControl->UpdateTab(this);
}

void TExtTabSheet::setCaption(const QString& caption)
{
    m_caption = caption;
    refreshCaption();
}

void TExtTabSheet::invalidateControl()
{
    if (m_pageControl)
        m_pageControl->update();
}

void TExtTabSheet::setShowClose(bool on)
{
    m_showClose = on;
    refreshCaption();
    invalidateControl();
}

void TExtTabSheet::setImageIndex(int index)
{
    m_imageIndex = index < 0 ? -1 : index;
    m_imageIndexDummy = index < 0 ? 0 : index;
    refreshCaption();
}

void TExtTabSheet::setTabVisible(bool on)
{
    if (on == m_tabVisible)
        return;
    m_tabVisible = on;
    UpdateTabShowing();
}

void TExtTabSheet::setTabEnable(bool on)
{
    if (on == m_tabEnable)
        return;
    if (!on && m_pageControl && m_pageControl->activePage() == this)
        throw platform::UserError(QStringLiteral("Can not disable active tab."));
    m_tabEnable = on;
    invalidateControl();
}

void TExtTabSheet::setHighlighted(bool on)
{
    m_highlighted = on;
    invalidateControl();
}

void TExtTabSheet::setTextColor(Color c)
{
    m_textColor = c;
    invalidateControl();
}

void TExtTabSheet::setColor(Color c)
{
    m_color = c;
    update();
    invalidateControl();
}

void TExtTabSheet::setColorTo(Color c)
{
    m_colorTo = c;
    update();
    invalidateControl();
}

void TExtTabSheet::setTabColor(Color c)
{
    m_tabColor = c;
    update();
}

void TExtTabSheet::setTabColorTo(Color c)
{
    m_tabColorTo = c;
    update();
}

void TExtTabSheet::setTabGradientDirection(TGradientDirection d)
{
    if (d == m_tabGradientDirection)
        return;
    m_tabGradientDirection = d;
    invalidateControl();
}

int TExtTabSheet::pageIndex() const
{
    if (!m_pageControl)
        return -1;
    const auto& pages = m_pageControl->m_pages;
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i] == this)
            return int(i);
    return -1;
}

void TExtTabSheet::setPageIndex(int index)
{
    if (!m_pageControl)
        return;
    auto& pages = m_pageControl->m_pages;
    const int last = int(pages.size()) - 1;
    if (index < 0 || index > last)
        throw platform::UserError(
            QStringLiteral("%1 is an invalid PageIndex value.  PageIndex must be between 0 and %2").arg(index).arg(last));
    const int from = pageIndex();
    if (from == index)
        return;
    const int oldTab = TabIndex();
    pages.erase(pages.begin() + from);
    pages.insert(pages.begin() + index, this);
    if (m_tabShowing)
        m_pageControl->MoveTab(oldTab, TabIndex());
}

int TExtTabSheet::TabIndex() const
{
    if (!m_tabShowing || !m_pageControl)
        return -1;
    int n = 0;
    for (const TExtTabSheet* p : m_pageControl->m_pages) {
        if (p == this)
            return n;
        if (p->m_tabShowing)
            ++n;
    }
    return -1;
}

void TExtTabSheet::UpdateTabShowing() { SetTabShowing(m_pageControl && m_tabVisible); }

void TExtTabSheet::SetTabShowing(bool on)
{
    if (on == m_tabShowing)
        return;
    if (on) {
        m_tabShowing = true;
        m_pageControl->InsertTab(this);
    } else {
        const int index = TabIndex();
        m_tabShowing = false;
        m_pageControl->DeleteTab(this, index);
    }
}

void TExtTabSheet::DoShow() { runHandler(OnShow, this); }
void TExtTabSheet::DoHide() { runHandler(OnHide, this); }

void TExtTabSheet::DoClose()
{
    if (OnClose)
        OnClose(this);
}

bool TExtTabSheet::CanCloseTab()
{
    bool canClose = true;
    if (OnCanClose)
        OnCanClose(this, canClose);
    return canClose;
}

void TExtTabSheet::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    DoShow();
}

void TExtTabSheet::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    DoHide();
}

void TExtTabSheet::paintEvent(QPaintEvent*)
{
    platform::Canvas canvas(this);
    canvas.brush() = platform::Brush{m_color, platform::BrushStyle::Solid};
    const Rect client{0, 0, width(), height()};
    canvas.fillRect(client);
    if (m_colorTo != platform::clNone)
        DrawPageGradient(canvas, m_color, m_colorTo, 64, client, false);
}

// --- TExtPageControl ----------------------------------------------------------------------------

TExtPageControl::TExtPageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QFont f = font();
    f.setFamily(QStringLiteral("Tahoma"));
    setFont(f);
    m_activeFont.font = f;
    m_tabMargin.OnMarginChange = [this](int n, int o, int i) { MarginChanged(n, o, i); };
    // Ctrl+Tab walks the pages from wherever the focus is inside the control; the shortcut
    // comes before the focused control, which might take the key for itself.
    const auto addKey = [this](QKeySequence seq, bool forward) {
        auto* s = new QShortcut(seq, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this, forward] { SelectNextPage(forward); });
        connect(s, &QShortcut::activatedAmbiguously, this, [this, forward] { SelectNextPage(forward); });
    };
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Tab), true);
    addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), false);
    addKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), false);
    addKey(QKeySequence(Qt::CTRL | Qt::Key_Backtab), false);
    pointerPosition = [this] { return mapFromGlobal(QCursor::pos()); };
    UpdateDummyImageSize();
}

TExtPageControl::~TExtPageControl()
{
    // The pages belong to their owner: they are detached, not destroyed.
    m_destroying = true;
    for (TExtTabSheet* p : m_pages) {
        p->m_pageControl = nullptr;
        p->m_tabShowing = false;
        p->hide();
        p->setParent(parentWidget());
    }
    m_pages.clear();
}

TExtTabSheet* TExtPageControl::GetPage(int index) const
{
    return index >= 0 && index < PageCount() ? m_pages[size_t(index)] : nullptr;
}

int TExtPageControl::activePageIndex() const { return m_activePage ? m_activePage->pageIndex() : -1; }

void TExtPageControl::setActivePageIndex(int index) { setActivePage(GetPage(index)); }

void TExtPageControl::setActivePage(TExtTabSheet* page)
{
    if (page && page->m_pageControl != this)
        return;
    ChangeActivePage(page);
    if (!page) {
        if (m_activePage)
            m_activePage->hide();
        m_activePage = nullptr;
        m_tabIndex = -1;
    } else {
        // The strip follows the page that is active, also when the change was refused (a
        // disabled tab): it never stays on a tab whose page is not shown.
        m_tabIndex = m_activePage ? m_activePage->TabIndex() : -1;
    }
    update();
}

void TExtPageControl::ChangeActivePage(TExtTabSheet* page)
{
    if (!page || page == m_activePage || !page->tabEnable())
        return;
    QWidget* form = window();
    if (m_activePage) {
        QWidget* focused = form->focusWidget();
        if (focused && m_activePage->isAncestorOf(focused)) {
            m_activePage->setFocus(Qt::OtherFocusReason);
            if (form->focusWidget() != m_activePage) {
                m_tabIndex = m_activePage->TabIndex();
                return;
            }
        }
    }
    page->setGeometry(displayRect().toQRect());
    page->raise();
    page->show();
    if (m_activePage && form->focusWidget() == m_activePage) {
        if (canTakeFocus(page))
            page->setFocus(Qt::OtherFocusReason);
        else
            setFocus(Qt::OtherFocusReason);
    }
    TExtTabSheet* old = m_activePage;
    if (old)
        old->hide();
    m_activePage = page;
    if (old)
        UpdateTabCaptionWidth(old);
    UpdateTabCaptionWidth(page);
    if (form->focusWidget() == page)
        if (QWidget* first = firstControl(page))
            first->setFocus(Qt::TabFocusReason);
}

void TExtPageControl::UpdateActivePage()
{
    if (m_tabIndex < 0 || m_tabIndex >= int(m_tabs.size()))
        setActivePage(nullptr);
    else
        setActivePage(m_tabs[size_t(m_tabIndex)].second);
}

TExtTabSheet* TExtPageControl::FindNextPage(TExtTabSheet* current, bool goForward, bool checkTabVisible) const
{
    const int count = PageCount();
    if (count == 0)
        return nullptr;
    int i = current ? current->pageIndex() : -1;
    if (i < 0 || current->m_pageControl != this)
        i = goForward ? count - 1 : 0;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1) % count : (i - 1 + count) % count;
        TExtTabSheet* p = m_pages[size_t(i)];
        if (!checkTabVisible || p->tabVisible())
            return p;
    }
    return nullptr;
}

void TExtPageControl::SelectNextPage(bool goForward)
{
    TExtTabSheet* page = FindNextPage(m_activePage, goForward, true);
    if (page && page != m_activePage && CanChange()) {
        m_tabIndex = page->TabIndex();
        Change();
    }
}

bool TExtPageControl::CanShowTab(int pageIndex) const
{
    const TExtTabSheet* p = GetPage(pageIndex);
    return p && p->tabEnable();
}

void TExtPageControl::ShowControl(QWidget* control)
{
    for (TExtTabSheet* p : m_pages)
        if (p == control) {
            setActivePage(p);
            return;
        }
}

void TExtPageControl::SetChildOrder(QWidget* child, int order)
{
    for (TExtTabSheet* p : m_pages)
        if (p == child) {
            p->setPageIndex(order);
            return;
        }
}

int TExtPageControl::GetImageIndex(int tabIndex) const
{
    if (OnGetImageIndex)
        return OnGetImageIndex(const_cast<TExtPageControl*>(this), tabIndex);
    const TExtTabSheet* p = tabPage(tabIndex);
    return p ? p->imageIndexDummy() : -1;
}

bool TExtPageControl::OpenClosedTab(const QString& name)
{
    for (auto& entry : m_closedTabs)
        if (entry.first == name) {
            if (entry.second && !entry.second->m_pageControl)
                entry.second->setPageControl(this);
            return true;
        }
    return false;
}

void TExtPageControl::OpenAllClosedTabs()
{
    for (auto& entry : m_closedTabs)
        if (entry.second && !entry.second->m_pageControl)
            entry.second->setPageControl(this);
}

bool TExtPageControl::CanChange()
{
    const int toPage = pageIndexAtPointer();
    bool allow = true;
    if (OnCanChange)
        OnCanChange(this, activePageIndex(), toPage, allow);
    if (!allow)
        return false;
    bool allowChange = true;
    if (OnChanging)
        OnChanging(this, allowChange);
    return allowChange;
}

void TExtPageControl::Change()
{
    // A change the page refused (a disabled tab) is no change: the strip is back on the
    // active page and OnChange stays quiet.
    const TExtTabSheet* before = m_activePage;
    UpdateActivePage();
    if (m_activePage != before)
        InternalChange();
}

void TExtPageControl::InternalChange()
{
    if (OnChange)
        OnChange(this);
    update();
}

void TExtPageControl::selectTab(int tabIndex)
{
    if (tabIndex < 0 || tabIndex >= int(m_tabs.size()) || tabIndex == m_tabIndex)
        return;
    if (!CanChange())
        return;
    m_tabIndex = tabIndex;
    Change();
}

// --- pages and tab strings ----------------------------------------------------------------------

void TExtPageControl::InsertPage(TExtTabSheet* page)
{
    m_pages.push_back(page);
    page->m_pageControl = this;
    page->hide();
    page->setParent(this);
    page->setGeometry(displayRect().toQRect());
    page->UpdateTabShowing();
}

void TExtPageControl::RemovePage(TExtTabSheet* page)
{
    TExtTabSheet* next = FindNextPage(page, true, true);
    page->SetTabShowing(false);
    page->m_pageControl = nullptr;
    std::erase(m_pages, page);
    if (m_activePage == page) {
        m_activePage = nullptr;
        m_tabIndex = -1;
    }
    page->hide();
    if (!m_destroying)
        setActivePage(next == page ? nullptr : next);
    m_layoutValid = false;
    update();
}

void TExtPageControl::InsertTab(TExtTabSheet* page)
{
    const int index = page->TabIndex();
    const QString text = m_tabBorder3D ? page->caption() : page->tabCaption();
    m_tabs.insert(m_tabs.begin() + index, {text, page});
    if (m_tabs.size() == 1)
        m_tabIndex = 0; // the first tab of a strip is its current one
    else if (m_tabIndex >= index)
        ++m_tabIndex;
    m_layoutValid = false;
    UpdateActivePage();
}

void TExtPageControl::DeleteTab(TExtTabSheet* page, int index)
{
    if (index < 0 || index >= int(m_tabs.size()))
        return;
    const bool wasActive = page == m_activePage;
    m_tabs.erase(m_tabs.begin() + index);
    const int count = int(m_tabs.size());
    if (wasActive)
        m_tabIndex = index < count ? index : count - 1;
    else if (m_tabIndex > index)
        --m_tabIndex;
    else if (m_tabIndex == index)
        m_tabIndex = m_activePage ? m_activePage->TabIndex() : -1;
    m_layoutValid = false;
    UpdateActivePage();
}

void TExtPageControl::MoveTab(int from, int to)
{
    if (from < 0 || from >= int(m_tabs.size()) || to < 0 || to >= int(m_tabs.size()))
        return;
    auto item = m_tabs[size_t(from)];
    m_tabs.erase(m_tabs.begin() + from);
    m_tabs.insert(m_tabs.begin() + to, item);
    m_tabIndex = m_activePage ? m_activePage->TabIndex() : -1;
    m_layoutValid = false;
    update();
}

void TExtPageControl::UpdateTab(TExtTabSheet* page)
{
    const int index = page->TabIndex();
    if (index < 0 || index >= int(m_tabs.size()))
        return;
    m_tabs[size_t(index)].first = m_tabBorder3D ? page->caption() : page->tabCaption();
    UpdateTabCaptionWidth(page);
    m_layoutValid = false;
    update();
}

void TExtPageControl::UpdateTabCaptionWidth(TExtTabSheet* page)
{
    if (m_tabBorder3D || !page)
        return;
    const int index = page->TabIndex();
    if (index < 0 || index >= int(m_tabs.size()))
        return;
    QString text = page->tabCaption();
    if (page == m_activePage && (m_activeFont.font.bold() || m_activeFont.font.italic())) {
        // The strip measures in the control font; the active tab is drawn in the active font,
        // so blanks make up the difference.
        const QFontMetrics normal(font());
        const int difference = QFontMetrics(m_activeFont.font).horizontalAdvance(text) - normal.horizontalAdvance(text);
        // The fewest blanks at least as wide as the difference: counted from one blank's width,
        // then checked, rather than measured one more blank at a time.
        const int blank = std::max(1, normal.horizontalAdvance(QLatin1Char(' ')));
        qsizetype count = difference > 0 ? (difference + blank - 1) / blank : 0;
        while (count > 0 && normal.horizontalAdvance(QString(count - 1, QLatin1Char(' '))) >= difference)
            --count;
        while (normal.horizontalAdvance(QString(count, QLatin1Char(' '))) < difference)
            ++count;
        text += QString(count, QLatin1Char(' '));
    }
    if (m_tabs[size_t(index)].first != text) {
        m_tabs[size_t(index)].first = text;
        m_layoutValid = false;
        update();
    }
}

QStringList TExtPageControl::tabStrings() const
{
    QStringList l;
    for (const auto& t : m_tabs)
        l << t.first;
    return l;
}

TExtTabSheet* TExtPageControl::tabPage(int tabIndex) const
{
    return tabIndex >= 0 && tabIndex < int(m_tabs.size()) ? m_tabs[size_t(tabIndex)].second : nullptr;
}

// --- layout -------------------------------------------------------------------------------------

bool TExtPageControl::verticalTabs() const
{
    return m_tabPosition == TTabPosition::tpLeft || m_tabPosition == TTabPosition::tpRight;
}

const TExtPageControl::Layout& TExtPageControl::layout() const
{
    // The current tab decides which row lies next to the pages.
    if (m_layoutValid && m_layout.forTabIndex == m_tabIndex)
        return m_layout;
    m_layout.forTabIndex = m_tabIndex;
    const QFontMetrics fm(font());
    const bool vertical = verticalTabs();
    const int thickness = m_tabHeight > 0 ? m_tabHeight : fm.height() + kTabPaddingAcross;
    const int room = vertical ? m_dummyHeight : m_dummyWidth;
    const int far = (vertical ? height() : width()) - kStripStart;
    const bool wrap = m_multiLine || vertical;

    struct Item {
        int tab, pos, length;
    };
    std::vector<std::vector<Item>> rows(1);
    int pos = kStripStart;
    int currentRow = 0;
    for (int i = 0; i < int(m_tabs.size()); ++i) {
        const int length =
            m_tabWidth > 0 ? m_tabWidth : fm.horizontalAdvance(m_tabs[size_t(i)].first) + kTabPaddingAlong + room;
        if (wrap && !rows.back().empty() && pos + length > far) {
            rows.emplace_back();
            pos = kStripStart;
        }
        rows.back().push_back({i, pos, length});
        if (i == m_tabIndex)
            currentRow = int(rows.size()) - 1;
        pos += length;
    }
    // The row of the current tab lies next to the pages; the others keep their order outwards.
    const int n = int(rows.size());
    m_layout.tabs.assign(m_tabs.size(), Rect{});
    for (int k = 0; k < n; ++k) {
        const std::vector<Item>& row = rows[size_t((currentRow + 1 + k) % n)];
        for (const Item& it : row) {
            Rect r;
            const int near = kStripStart + k * thickness; // from the control's edge
            switch (m_tabPosition) {
            case TTabPosition::tpTop: r = Rect{it.pos, near, it.pos + it.length, near + thickness}; break;
            case TTabPosition::tpBottom:
                r = Rect{it.pos, height() - near - thickness, it.pos + it.length, height() - near};
                break;
            case TTabPosition::tpLeft: r = Rect{near, it.pos, near + thickness, it.pos + it.length}; break;
            case TTabPosition::tpRight:
                r = Rect{width() - near - thickness, it.pos, width() - near, it.pos + it.length};
                break;
            }
            m_layout.tabs[size_t(it.tab)] = r;
        }
    }
    m_layout.depth = m_tabs.empty() ? 0 : kStripStart + n * thickness;
    m_layoutValid = true;
    return m_layout;
}

Rect TExtPageControl::tabRect(int tabIndex) const
{
    const Layout& l = layout();
    return tabIndex >= 0 && tabIndex < int(l.tabs.size()) ? l.tabs[size_t(tabIndex)] : Rect{};
}

Rect TExtPageControl::TabRectOfPage(int pageIndex) const
{
    const TExtTabSheet* p = GetPage(pageIndex);
    return p ? tabRect(p->TabIndex()) : Rect{};
}

int TExtPageControl::TabIndexAtPoint(int x, int y) const
{
    const Layout& l = layout();
    for (size_t i = 0; i < l.tabs.size(); ++i)
        if (l.tabs[i].contains(x, y))
            return int(i);
    return -1;
}

int TExtPageControl::pageIndexAtPointer() const
{
    const QPoint p = pointerPosition ? pointerPosition() : QPoint(-1, -1);
    const TExtTabSheet* page = tabPage(TabIndexAtPoint(p.x(), p.y()));
    return page ? page->pageIndex() : -1;
}

Rect TExtPageControl::displayRect() const
{
    const int depth = std::max(layout().depth, 2);
    const int w = width();
    const int h = height();
    switch (m_tabPosition) {
    case TTabPosition::tpTop: return Rect{4, depth + 4, w - 4, h - 4};
    case TTabPosition::tpBottom: return Rect{4, 4, w - 4, h - depth - 4};
    case TTabPosition::tpLeft: return Rect{depth + 4, 4, w - 4, h - 4};
    case TTabPosition::tpRight: return Rect{4, 4, w - depth - 4, h - 4};
    }
    return Rect{};
}

void TExtPageControl::relayout()
{
    m_layoutValid = false;
    const QRect area = displayRect().toQRect();
    for (TExtTabSheet* p : m_pages)
        p->setGeometry(area);
    update();
}

// --- properties ---------------------------------------------------------------------------------

void TExtPageControl::setTabPosition(TTabPosition p)
{
    m_tabPosition = p;
    UpdateDummyImageSize();
    relayout();
}

void TExtPageControl::setMultiLine(bool on)
{
    m_multiLine = on;
    relayout();
}

void TExtPageControl::setTabHeight(int h)
{
    m_tabHeight = std::max(0, h);
    relayout();
}

void TExtPageControl::setTabWidth(int w)
{
    m_tabWidth = std::max(0, w);
    relayout();
}

void TExtPageControl::setTabStyle(TTabStyle s)
{
    if (s == m_tabStyle)
        return;
    m_tabStyle = s;
    update();
}

void TExtPageControl::setTabMargin(const TTabMargin* margin)
{
    if (!margin)
        return;
    m_tabMargin.Assign(*margin);
    UpdateDummyImageSize();
    update();
}

void TExtPageControl::setImages(platform::TImageList* images)
{
    const bool vertical = verticalTabs();
    if (m_images) {
        if (vertical)
            m_dummyHeight -= m_images->Height();
        else
            m_dummyWidth -= m_images->Width();
    }
    m_images = images;
    if (m_images) {
        if (vertical)
            m_dummyHeight += m_images->Height();
        else
            m_dummyWidth += m_images->Width();
    }
    relayout();
}

void TExtPageControl::setDefaultTextColor(Color c)
{
    for (TExtTabSheet* p : m_pages)
        if (p->textColor() == m_defaultTextColor)
            p->setTextColor(c);
    m_defaultTextColor = c;
    update();
}

void TExtPageControl::setDefaultTabColor(Color c)
{
    for (TExtTabSheet* p : m_pages)
        if (p->tabColor() == m_defaultTabColor)
            p->setTabColor(c);
    m_defaultTabColor = c;
    update();
}

void TExtPageControl::setDefaultTabColorTo(Color c)
{
    for (TExtTabSheet* p : m_pages)
        if (p->tabColorTo() == m_defaultTabColorTo)
            p->setTabColorTo(c);
    m_defaultTabColorTo = c;
    update();
}

void TExtPageControl::setActiveColor(Color c)
{
    m_activeColor = c;
    update();
}

void TExtPageControl::setActiveColorTo(Color c)
{
    m_activeColorTo = c;
    update();
}

void TExtPageControl::setTabBorder3D(bool on)
{
    if (on == m_tabBorder3D)
        return;
    m_tabBorder3D = on;
    for (int i = PageCount() - 1; i >= 0; --i)
        UpdateTab(m_pages[size_t(i)]);
    if (!on)
        UpdateTabCaptionWidth(m_activePage);
    relayout();
}

void TExtPageControl::setTabBorderColor(Color c)
{
    m_tabBorderColor = c;
    update();
}

void TExtPageControl::setTabHoverColor(Color c)
{
    m_tabHoverColor = c;
    update();
}

void TExtPageControl::setTabHoverColorTo(Color c)
{
    m_tabHoverColorTo = c;
    update();
}

void TExtPageControl::setTabHoverBorder(Color c)
{
    m_tabHoverBorder = c;
    update();
}

void TExtPageControl::setShowFocus(bool on)
{
    m_showFocus = on;
    update();
}

void TExtPageControl::setTabOverlap(int pixels)
{
    m_tabOverlap = std::clamp(pixels, 0, 15);
    update();
}

void TExtPageControl::setTabSheet3D(bool on)
{
    if (on == m_tabSheet3D)
        return;
    m_tabSheet3D = on;
    update();
}

void TExtPageControl::setTabSheetBorderColor(Color c)
{
    m_tabSheetBorderColor = c;
    update();
}

void TExtPageControl::setTabBackGroundColor(Color c)
{
    m_tabBackGroundColor = c;
    update();
}

void TExtPageControl::setTabSplitLine(bool on)
{
    if (on == m_tabSplitLine)
        return;
    if (on && m_tabStyle == TTabStyle::tsDotNet)
        throw platform::UserError(QStringLiteral("TabSplitLine must be false when TabStyle is tsDotNet"));
    m_tabSplitLine = on;
    update();
}

void TExtPageControl::setRoundEdges(bool on)
{
    m_roundEdges = on;
    update();
}

void TExtPageControl::setLowerActive(int pixels)
{
    m_lowerActive = pixels;
    update();
}

void TExtPageControl::setActiveFont(const platform::Font& f)
{
    m_activeFont = f;
    ActiveFontChanged();
}

void TExtPageControl::ActiveFontChanged()
{
    UpdateTabCaptionWidth(m_activePage);
    update();
}

void TExtPageControl::setColor(Color c)
{
    m_color = c;
    update();
}

void TExtPageControl::setFontColor(Color c)
{
    m_fontColor = c;
    update();
}

void TExtPageControl::setTabBackGround(const platform::Bitmap& b)
{
    m_tabBackGround = b;
    update();
}

void TExtPageControl::setTabBackGroundActive(const platform::Bitmap& b)
{
    m_tabBackGroundActive = b;
    update();
}

void TExtPageControl::setCloseGlyph(const platform::Bitmap& b)
{
    m_closeGlyph = b;
    update();
}

QString TExtPageControl::Version()
{
    const int v = VersionNr();
    return QStringLiteral("%1.%2.%3.%4").arg((v >> 24) & 0xFF).arg((v >> 16) & 0xFF).arg((v >> 8) & 0xFF).arg(v & 0xFF);
}

int TExtPageControl::VersionNr() { return (1 << 24) | (4 << 16); }

void TExtPageControl::UpdateDummyImageSize()
{
    const int imageWidth = m_images ? m_images->Width() : 0;
    const int imageHeight = m_images ? m_images->Height() : 0;
    if (verticalTabs())
        m_dummyHeight = imageHeight + m_tabMargin.rightMargin() + m_tabMargin.topMargin();
    else
        m_dummyWidth = imageWidth + m_tabMargin.rightMargin() + m_tabMargin.leftMargin();
    m_layoutValid = false;
}

void TExtPageControl::MarginChanged(int newValue, int oldValue, int index)
{
    const int imageWidth = m_images ? m_images->Width() : 0;
    const int imageHeight = m_images ? m_images->Height() : 0;
    const bool vertical = verticalTabs();
    if (index == 0 && !vertical)
        m_dummyWidth = imageWidth + m_tabMargin.rightMargin() + newValue;
    else if (index == 1 && vertical)
        m_dummyHeight = imageHeight + m_tabMargin.rightMargin() + newValue;
    else if (index == 2) {
        if (vertical)
            m_dummyHeight += newValue - oldValue;
        else
            m_dummyWidth += newValue - oldValue;
    }
    relayout();
}

// --- input --------------------------------------------------------------------------------------

void TExtPageControl::invalidateTab(int pageIndex)
{
    const Rect r = TabRectOfPage(pageIndex);
    if (!r.isEmpty())
        update(r.inflated(3, 3).toQRect());
}

void TExtPageControl::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (!m_tabBorder3D && m_activePage && m_activePage->showClose() &&
        PtInCloseButton(activePageIndex(), p.x(), p.y())) {
        m_closePressed = true;
        update();
        return;
    }
    if (e->button() == Qt::LeftButton) {
        const int tab = TabIndexAtPoint(p.x(), p.y());
        if (tab >= 0)
            selectTab(tab);
    }
    QWidget::mousePressEvent(e);
}

void TExtPageControl::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (m_closePressed) {
        m_closePressed = false;
        update();
        if (e->button() == Qt::LeftButton && m_activePage && m_activePage->showClose() &&
            PtInCloseButton(activePageIndex(), p.x(), p.y()))
            closeActivePage();
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

void TExtPageControl::closeActivePage()
{
    TExtTabSheet* page = m_activePage;
    if (!page)
        return;
    TExtTabSheet* next = FindNextPage(page, true, true);
    if (!page->CanCloseTab())
        return;
    page->DoClose();
    if (next && next != page)
        setActivePage(next);
    if (m_freeOnClose) {
        delete page;
    } else {
        m_closedTabs.emplace_back(page->objectName(), page);
        page->setPageControl(nullptr);
    }
    update();
}

void TExtPageControl::mouseMoveEvent(QMouseEvent* e)
{
    QWidget::mouseMoveEvent(e);
    if (m_tabHoverColor == platform::clNone || m_tabBorder3D)
        return;
    const QPoint p = e->position().toPoint();
    if (m_tabBackGround.isEmpty()) {
        const TExtTabSheet* page = tabPage(TabIndexAtPoint(p.x(), p.y()));
        const int hovered = page ? page->pageIndex() : -1;
        if (hovered != m_hoverTab) {
            invalidateTab(m_hoverTab);
            invalidateTab(hovered);
            m_hoverTab = hovered;
        }
    }
    if (m_activePage && m_activePage->showClose()) {
        const bool on = PtInCloseButton(activePageIndex(), p.x(), p.y());
        if (on != m_hoverClosedButton) {
            m_hoverClosedButton = on;
            update();
        }
    }
}

void TExtPageControl::leaveEvent(QEvent* e)
{
    QWidget::leaveEvent(e);
    if (m_tabBackGround.isEmpty() && m_hoverTab >= 0)
        invalidateTab(m_hoverTab);
    m_hoverTab = -1;
    if (m_hoverClosedButton) {
        m_hoverClosedButton = false;
        update();
    }
}

void TExtPageControl::keyPressEvent(QKeyEvent* e)
{
    // The arrow keys move along the strip while the strip itself has the focus.
    if (hasFocus() && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool back = e->key() == Qt::Key_Left || e->key() == Qt::Key_Up;
        const bool forward = e->key() == Qt::Key_Right || e->key() == Qt::Key_Down;
        if (back || forward) {
            selectTab(m_tabIndex + (forward ? 1 : -1));
            e->accept();
            return;
        }
    }
    QWidget::keyPressEvent(e);
}

void TExtPageControl::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange) {
        for (TExtTabSheet* p : m_pages)
            UpdateTabCaptionWidth(p);
        relayout();
    }
}

void TExtPageControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    relayout();
}

void TExtPageControl::paintEvent(QPaintEvent*)
{
    // The background erase a native strip gets before it paints: the control colour where
    // neither the strip nor a page paints.
    platform::Canvas canvas(this);
    canvas.brush() = platform::Brush{m_color, platform::BrushStyle::Solid};
    canvas.fillRect(Rect{0, 0, width(), height()});
    PaintTabs(canvas);
}

} // namespace controls

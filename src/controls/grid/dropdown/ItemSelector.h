#pragma once
// The item selector: the list panel of the picker drop-downs (colour list, image picker, detail
// list). TExtCustomItemSelector is a scrolling container that owns the items, their look and the
// settings; TCustomItemSelector is the painted panel inside it, sized to hold every item in a
// grid of Columns columns. Items are a mini-HTML caption with a colour box (stColor) or a picture
// (stImage: the item's own picture or an entry of Images); the item under the mouse is hot, a
// click selects. The selector has no keys of its own: the drop-downs call SelectNext and the
// others, and LookupItem for typed text.
#include "controls/grid/dropdown/rules/Appearances.h"
#include "controls/grid/dropdown/rules/ItemSelectorModel.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Graphics.h"
#include "platform/grid/Keys.h"

#include <QScrollArea>
#include <QWidget>
#include <functional>

namespace controls::grid::dropdown {

enum TSelectorType { stImage, stColor };

class TSelectorItem : public TCollectionItem {
public:
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);
    Color GetColor() const { return m_color; }
    void SetColor(Color c);
    bool Enabled = true;
    platform::Picture Image;
    platform::Rect ItemRect;
    QString Hint;
    void Assign(const platform::TPersistent* source) override;

private:
    QString m_caption;
    int m_imageIndex = -1;
    Color m_color = clNone;
};
using TSelectorItems = TCollection<TSelectorItem>;

using TDrawItemEvent = std::function<void(QObject* sender, platform::Canvas& canvas, const platform::Rect& r, int index)>;
using TItemSizeEvent = std::function<void(QObject* sender, QSize& size)>;

class TExtCustomItemSelector;

class TCustomItemSelector : public QWidget {
    Q_OBJECT

public:
    explicit TCustomItemSelector(TExtCustomItemSelector* owner);

    TExtCustomItemSelector* ExtItemSelector() const { return m_owner; }
    TItemSelectorState& State() { return m_state; }
    int ItemIndex() const { return m_state.ItemIndex; }
    int ItemHot() const { return m_state.ItemHot; }
    int OffSetX = 2;
    int OffSetY = 2;
    int ItemOffSetX = 4;
    int ItemOffSetY = 4;
    int CaptionGap = 4;
    std::function<void()> OnItemSelect;

    virtual void DrawItem(int index, platform::Canvas& canvas);
    virtual platform::Rect GetItemsRect();
    virtual QSize GetItemSize();
    virtual void InvalidateItem(int index);
    virtual void ArrangeItems();
    platform::Rect GetItemRect(int index) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void DrawItemNow(int index);

    TExtCustomItemSelector* m_owner;
    TItemSelectorState m_state;
};

class TExtCustomItemSelector : public QScrollArea {
    Q_OBJECT

public:
    explicit TExtCustomItemSelector(QWidget* parent = nullptr);
    ~TExtCustomItemSelector() override;

    TSelectorItems& Items() { return m_items; }
    void SetItems(const TSelectorItems& items) { m_items.Assign(&items); }
    TSelectorType SelectorType() const { return m_selectorType; }
    void SetSelectorType(TSelectorType type);
    // Stored only: it takes effect at the next UpdateSelectorPanel.
    TItemLayout ItemLayout = ilCaptionRight;
    int Columns() const { return m_columns; }
    // Values below 1 keep the old one.
    void SetColumns(int columns);
    int ColorBoxWidth() const { return m_colorBoxWidth; }
    void SetColorBoxWidth(int w);
    int ColorBoxHeight() const { return m_colorBoxHeight; }
    void SetColorBoxHeight(int h);
    const platform::TImageList* Images() const { return m_images; }
    void SetImages(const platform::TImageList* images);
    TItemAppearance& ItemAppearance() { return m_appearance; }
    void SetItemAppearance(const TItemAppearance& a) { m_appearance.Assign(&a); }
    Color GetColor() const { return m_color; }
    void SetColor(Color c);
    TCustomItemSelector* Panel() const { return m_panel; }

    std::function<void(QObject* sender)> OnItemSelect;
    TDrawItemEvent OnDrawItem;
    TItemSizeEvent OnItemSize;
    std::function<void()> OnResize;
    // Whether the item under the mouse shows its Hint.
    bool ShowHint = true;

    void UpdateSelectorPanel();
    int ItemIndex() const { return m_panel ? m_panel->ItemIndex() : -1; }
    void SetItemIndex(int index);
    int ItemHot() const { return m_panel ? m_panel->ItemHot() : -1; }
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    bool LookupItem(const QString& s);
    void ScrollItemInView(int index);
    int GetVisibleItemCount() const;
    QSize GetPanelSize() const;
    bool VerticalScrollBarShown() const;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TSelectorItems m_items;
    TSelectorType m_selectorType = stImage;
    int m_columns = 1;
    int m_colorBoxWidth = 14;
    int m_colorBoxHeight = 14;
    const platform::TImageList* m_images = nullptr;
    TItemAppearance m_appearance;
    Color m_color = platform::clWindow;
    TCustomItemSelector* m_panel = nullptr;
};

// The keys of a picker's list (the colour list, the image picker, the detail list), open or
// closed: Page Up and Page Down move a page of the list, Home and End go to the ends (the list's
// while open, the picker's own while closed), Left and Right step while open (not with the editor
// on), Up and Down move `step` items while open and step the picker while closed; any other key
// without Ctrl is typed into the look-up. Moves of the list run as the picker's own (they do not
// close the popup).
struct TPickerListKeys {
    TExtCustomItemSelector* list = nullptr;
    int itemCount = 0; // the picker's items
    int step = 1;      // Up and Down while open
    bool dropped = false;
    bool editorEnabled = false;
    std::function<void()> refill;                    // the list again from the picker's items
    std::function<void(std::function<void()>)> internally; // runs a move of the list as the picker's own
    std::function<void(bool first)> pickerEnd;       // the picker's SelectFirst / SelectLast
    std::function<void(bool next)> pickerStep;       // the picker's SelectNext / SelectPrevious
    std::function<void(QChar key)> typed;            // the look-up
};
void HandlePickerListKey(const TPickerListKeys& k, quint16 key, platform::TShiftState shift);
// Whether a key's code is the character it types (space, digits, letters), so it can be looked up.
bool IsLookupKey(quint16 key);

} // namespace controls::grid::dropdown

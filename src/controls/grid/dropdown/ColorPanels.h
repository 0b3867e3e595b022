#pragma once
// The colour picker's three panels (rules/ColorPanels.h has their geometry):
//   TExtColorCubePanel      the hexagonal cube of 127 colours; a press picks, the hot cell shows
//                           its RGB values as hint;
//   TExtColorSpectrumPanel  a 128 x 128 spectrum picture; moving shows the colour under the mouse
//                           in the hot swatch, a press picks it;
//   TCustomColorSelector    60 theme colours in ten columns with the keys of the picker.
#include "controls/grid/dropdown/rules/ColorPanels.h"
#include "controls/grid/dropdown/rules/DropDownTypes.h"
#include "platform/draw/Canvas.h"

#include <QWidget>
#include <functional>

namespace controls::grid::dropdown {

class TExtCustomColorSelectorPanel : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;
    // Raised on every release of the mouse over the cube and the spectrum.
    std::function<void(QObject*)> OnShouldHide;
};

class TExtColorCubePanel : public TExtCustomColorSelectorPanel {
    Q_OBJECT

public:
    explicit TExtColorCubePanel(QWidget* parent = nullptr);
    Color SelectedColor() const { return m_selection.SelectedColor; }
    void SetSelectedColor(Color c);
    int SelectedIndex() const { return m_selection.SelectedIndex; }
    int HotIndex() const { return m_hot; }
    bool ShowRGBHint() const { return m_showRGBHint; }
    void SetShowRGBHint(bool on);
    std::function<void(QObject*)> OnSelect;
    void InitCells() {}
    // Clears the hot cell and takes the cube's fixed size.
    void ResetPanel();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void DrawCell(platform::Canvas& c, int index);
    TCubeSelection m_selection;
    int m_hot = -1;
    bool m_showRGBHint = true;
};

// The spectrum's picture: the colours it shows and where the mouse is on it.
class TSpectrumImage : public QWidget {
    Q_OBJECT

public:
    explicit TSpectrumImage(QWidget* parent);
    const platform::Bitmap& Bitmap() const { return m_bitmap; }
    std::function<void(int x, int y)> OnMove;
    std::function<void(int x, int y)> OnDown;
    std::function<void(int x, int y)> OnUp;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    platform::Bitmap m_bitmap;
};

class TExtColorSpectrumPanel : public TExtCustomColorSelectorPanel {
    Q_OBJECT

public:
    explicit TExtColorSpectrumPanel(QWidget* parent = nullptr);
    Color SelectedColor() const { return m_selected; }
    void SetSelectedColor(Color c) { m_selected = c; }
    Color HotColor() const { return m_hot; }
    TSpectrumImage* Picture() const { return m_image; }
    std::function<void(QObject*)> OnSelect;
    void ArrangePanel();

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TSpectrumImage* m_image;
    Color m_hot = clNone;
    Color m_selected = 0xFFFFFF;
    TSpectrumLayout m_layout;
};

struct TColorBoxAppearance {
    Color BorderColor = 0xC5C5C5;
    Color OuterBorderColorHot = 0x3694F2;
    Color InnerBorderColorHot = 0x94E2FF;
    Color OuterBorderColorSelected = 0x0000FF;
    Color InnerBorderColorSelected = 0x94E2FF;
};

class TCustomColorSelector : public QWidget {
    Q_OBJECT

public:
    explicit TCustomColorSelector(QWidget* parent = nullptr);
    TColorBoxModel& Model() { return m_model; }
    TColorBoxAppearance ColorBoxAppearance;
    int ItemIndex() const { return m_model.ItemIndex; }
    void SetItemIndex(int index) { m_model.SetItemIndex(index); }
    int ItemHot() const { return m_model.ItemHot; }
    Color SelectedColor() const { return m_model.SelectedColor; }
    void SetSelectedColor(Color c) { m_model.SetSelectedColor(c); }
    TSelectionColorStyle ItemColorStyle() const { return m_colorStyle; }
    void SetItemColorStyle(TSelectionColorStyle style);
    void AddThemeColors() { m_model.AddThemeColors(); }
    void ArrangeBoxes();
    // A changed value lays the boxes out again (Columns takes any value).
    void SetColumns(int columns) { SetLayoutValue(m_model.Columns, columns); }
    void SetColumnGap(int gap) { SetLayoutValue(m_model.ColumnGap, gap); }
    void SetColorBoxWidth(int w) { SetLayoutValue(m_model.ColorBoxWidth, w); }
    void SetColorBoxHeight(int h) { SetLayoutValue(m_model.ColorBoxHeight, h); }
    void HandleKey(quint16 key, bool editorEnabled, bool droppedDown);
    std::function<void(QObject*)> OnItemSelect;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void DrawColorBox(platform::Canvas& c, int index);
    void SetLayoutValue(int& field, int value)
    {
        if (value == field)
            return;
        field = value;
        ArrangeBoxes();
    }
    TColorBoxModel m_model;
    TSelectionColorStyle m_colorStyle = scCustom;
};

} // namespace controls::grid::dropdown

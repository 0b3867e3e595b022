#pragma once
// Small controls the string grid creates around its cells: the four arrows that mark where a
// dragged column or row will drop, the flat gradient button and the check box of the search
// panel, the focus window, and the alpha mask with which the grid draws a soft glow around the
// focused cell (a blurred rectangle with curved corners).
#include "controls/grid/base/GridTypes.h"
#include "platform/draw/Canvas.h"

#include <QPolygon>
#include <QString>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;

namespace controls::grid {

using platform::Color;

// The system's look as the controls see it (see ExtStyle.h).
bool CheckWinXPVersion();
bool IsThemedXP();
int GetXPColorScheme();

enum TArrowDirection { arrUp, arrDown, arrLeft, arrRight };

// A small arrow-shaped popup in its colour (green), hidden until the grid shows it.
class TArrowWindow : public QWidget {
public:
    TArrowWindow(QWidget* owner, TArrowDirection direction);
    TArrowDirection Dir() const { return m_dir; }
    // The seven points of the outline, which is also the window's shape.
    const QPolygon& Arrow() const { return m_arrow; }
    Color ArrowColor() const { return m_color; }
    void SetArrowColor(Color c);
    static QPolygon Outline(TArrowDirection direction);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    TArrowDirection m_dir;
    QPolygon m_arrow;
    Color m_color = platform::clLime;
};

// The frame shown around the current cell while the focus helper is on.
class TGridFocusWindow : public QWidget {
public:
    explicit TGridFocusWindow(QWidget* owner);
    Color FrameColor = platform::clRed;

protected:
    void paintEvent(QPaintEvent*) override;
};

// A 32-bit bitmap with an opacity, merged from a grey mask.
class TGridAlphaMask {
public:
    TGridAlphaMask();
    int Opacity = 255;
    platform::Bitmap& Bitmap() { return m_bitmap; }
    const platform::Bitmap& Bitmap() const { return m_bitmap; }
    void Assign(const TGridAlphaMask& source);
    void Assign(const platform::Bitmap& source);
    // For a 24-bit bitmap: the mask takes its size, alpha is the mask's red byte and each colour
    // byte is premultiplied by it. Other bitmaps change nothing.
    void MergeMask(const platform::Bitmap& mask, const platform::Bitmap& bitmap, Color color);

private:
    platform::Bitmap m_bitmap;
};

// The kernel of BlurBitmap for a radius: the weights of the offsets -h..h (h at most 10), summing
// to 1.
std::vector<double> BlurKernel(int radius);
// Blurs a 24-bit bitmap; any other raises "Blur only works for 24-bit bitmaps".
void BlurBitmap(platform::Bitmap& bitmap, int radius);
// bitmap := 24-bit, width x height, black, with a white rectangle with curved corners (outlined
// with penWidth > 0, filled otherwise), blurred by blurRadius > 0.
void MakeRoundRectMask(platform::Bitmap& bitmap, int width, int height, int penWidth, int corner, int blurRadius);
// steps bands of colour from fromColor to toColor, then a frame unless frameColor is clNone.
void DrawGridButtonGradient(platform::Canvas& canvas, Color fromColor, Color toColor, bool horizontal,
                            const platform::Rect& r, int steps, Color frameColor);

enum TExtGridButtonStyle { tasButton, tasCheck };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TGridButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// The flat gradient push button of the search panel.
class TExtGridButton : public QWidget {
public:
    explicit TExtGridButton(QWidget* owner = nullptr);
    ~TExtGridButton() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& c);
    Color Color_ = 0xFF00000F;
    Color ColorTo = platform::clNone;
    Color ColorHot = 0xCAC7C7;
    Color ColorHotTo = platform::clNone;
    Color ColorDown = 0xD8D3D2;
    Color ColorDownTo = platform::clNone;
    Color ColorChecked = 0x808080;
    Color ColorCheckedTo = platform::clNone;
    Color BorderColor = platform::clNone;
    Color BorderDownColor = platform::clNone;
    Color BorderHotColor = platform::clNone;
    bool Rounded = false;
    bool DropDownButton = false;
    bool ShowCaption = true;
    bool Transparent = true;
    TExtGridButtonStyle Style = tasButton;
    bool AllowAllUp = false;
    TButtonLayout Layout = blGlyphLeft;

    bool Flat() const { return m_flat; }
    void SetFlat(bool on);
    int Spacing() const { return m_spacing; }
    void SetSpacing(int s);
    int Margin() const { return m_margin; }
    // Values below -1 are ignored.
    void SetMargin(int m);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int g);
    bool Down() const { return m_down; }
    // Accepted only with a group index or the check style; a down grouped button lifts the
    // others of its group; a down button stays down without AllowAllUp.
    void SetDown(bool down);
    bool Shaded() const { return m_shaded; }
    void SetShaded(bool on);
    const platform::Bitmap& Glyph() const { return m_glyph; }
    // Also makes the disabled glyph when there is none: grey ((R + G + B) / 3) / 2 + 96.
    void SetGlyph(const platform::Bitmap& b);
    const platform::Bitmap& GlyphDisabled() const { return m_glyphDisabled; }
    void SetGlyphDisabled(const platform::Bitmap& b) { m_glyphDisabled = b; }
    platform::Bitmap GlyphHot, GlyphDown;
    const platform::Bitmap& GlyphShade() const { return m_glyphShade; }
    // One of the colour presets 0..6 (write only).
    void SetLook(int look);
    TGridButtonState State() const { return m_state; }
    bool MouseInControl() const { return m_mouseIn; }

    // Pops up below the button when its drop-down part is pressed (after OnDropDown).
    QPointer<QMenu> DropDownMenu;
    // Links the button to an action: see TExtGridButtonActionLink.
    void SetAction(QAction* action);
    QAction* Action() const;

    std::function<void(TExtGridButton*)> OnClick;
    std::function<void(TExtGridButton*)> OnDropDown;
    std::function<void(TExtGridButton*)> OnMouseEnter;
    std::function<void(TExtGridButton*)> OnMouseLeave;
    void Click();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void makeShade();
    void groupChanged();
    QString m_caption;
    bool m_flat = true;
    int m_spacing = 4;
    int m_margin = -1;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_shaded = true;
    bool m_dragging = false;
    bool m_mouseIn = false;
    TGridButtonState m_state = bsUp;
    platform::Bitmap m_glyph, m_glyphDisabled, m_glyphShade;
    std::unique_ptr<class TExtGridButtonActionLink> m_actionLink;
};

// The link between a grid button and an action: the action's caption, checked state and
// group index reach the button where they are linked: the caption when the action's caption
// equals the button's, the checked state when the button has a group index, allows all up and
// is down as the action is checked, the group index when both have the same one (the action's
// "groupIndex" property). A click of the button triggers the action.
class TExtGridButtonActionLink {
public:
    TExtGridButtonActionLink(TExtGridButton* button, QAction* action);
    ~TExtGridButtonActionLink();
    QAction* Action() const { return m_action; }
    bool IsCaptionLinked() const;
    bool IsCheckedLinked() const;
    bool IsGroupIndexLinked() const;
    void SetCaption(const QString& caption);
    void SetChecked(bool checked);
    void SetGroupIndex(int index);

private:
    TExtGridButton* m_button;
    QPointer<QAction> m_action;
    QString m_caption;
    bool m_checked = false;
    int m_groupIndex = 0;
    QMetaObject::Connection m_changed;
};

enum TTextLayout { tlTop, tlCenter, tlBottom };

// The check box of the search panel.
class TExtCheckBox : public QWidget {
public:
    explicit TExtCheckBox(QWidget* owner = nullptr);
    TCheckBoxState State() const { return m_state; }
    void SetState(TCheckBoxState s);
    bool Checked() const { return m_state == cbChecked; }
    void SetChecked(bool on) { SetState(on ? cbChecked : cbUnchecked); }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& c);
    bool ReadOnly = false;
    bool ReturnIsTab = false;
    bool Ellipsis = false;
    platform::Alignment Alignment = platform::Alignment::taLeftJustify;
    TTextLayout ButtonVertAlign = tlTop;
    bool Down = false;
    // Flips Checked unless read-only.
    virtual void Toggle();
    std::function<void(TExtCheckBox*)> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    TCheckBoxState m_state = cbUnchecked;
    QString m_caption = QStringLiteral("TExtCheckBox");
    bool m_mouseDown = false;
};

} // namespace controls::grid

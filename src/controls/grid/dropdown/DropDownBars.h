#pragma once
// The header and footer bars of a drop-down's popup and their buttons.
//
// A bar paints its background (a gradient or plain fill), its border (the bottom line of the
// header, the top line of the footer, and all four edges when the popup draws no frame of its
// own), an image and a mini-HTML caption, and carries a row of buttons (TExtButton) that share
// the edit's ButtonAppearance. The footer also offers a size grip at its right end: pressing in
// it starts sizing the popup from its bottom-right corner. A footer button with a closing modal
// result (OK, Cancel, ...) hides the popup, Cancel-like results restoring the edit's value; then
// the edit's OnDropDownFooterButtonClick (or OnDropDownHeaderButtonClick) is raised with the
// button's index, unless the button was pressed with Return or Space.
#include "controls/grid/dropdown/rules/Appearances.h"
#include "platform/draw/Canvas.h"
#include "platform/draw/Graphics.h"
#include "platform/ui/Timer.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

namespace controls::grid::dropdown {

class TExtCustomDropDown;

enum TExtButtonStyle { tasButton, tasCheck };
enum TExtButtonState { absUp, absDisabled, absDown, absDropDown, absExclusive };

// The character a caption marks with "&" as its accelerator ("&&" is a plain "&"), or null.
QChar CaptionAccelerator(const QString& caption);

class TExtButton : public QWidget {
    Q_OBJECT

public:
    explicit TExtButton(QWidget* parent);
    ~TExtButton() override;

    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    TExtButtonAppearance* Appearance() const { return m_appearance; }
    void SetAppearance(TExtButtonAppearance* appearance);
    const platform::TImageList* Images() const { return m_images; }
    void SetImages(const platform::TImageList* images);
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);
    int ModalResult = 0;
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index) { m_groupIndex = index; }
    bool Down() const { return m_down; }
    void SetDown(bool down);
    bool AllowAllUp = false;
    TExtButtonStyle Style = tasButton;
    TExtButtonState State() const { return m_state; }
    bool Hot() const { return m_mouseInControl; }
    // Footer buttons close the popup of this edit by their modal result.
    void SetDropDown(TExtCustomDropDown* edit) { m_dropDown = edit; }
    // The button's tag: its index in the bar.
    int Tag = 0;

    // Width and height from the caption and the image.
    void SizeToContent();
    // Runs the click: modal result first, then (not from the keyboard) OnClick.
    void Click(bool fromKeyboard = false);
    // A dialog character: an enabled button whose caption marks ch with "&" clicks. True when it
    // did.
    bool DialogChar(QChar ch);
    std::function<void(TExtButton*)> OnClick;
    std::function<void(TExtButton*)> OnMouseEnter;
    std::function<void(TExtButton*)> OnMouseLeave;

    virtual void DrawButton(platform::Canvas& canvas);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void MouseEnter();
    void MouseLeave();
    void ReleaseOthersInGroup();

    QString m_caption;
    TExtButtonAppearance* m_appearance = nullptr;
    const platform::TImageList* m_images = nullptr;
    int m_imageIndex = -1;
    int m_groupIndex = 0;
    bool m_down = false;
    bool m_mouseInControl = false;
    bool m_mouseDownInControl = false;
    bool m_dragging = false;
    TExtButtonState m_state = absUp;
    platform::Timer* m_unHotTimer;
    QPointer<TExtCustomDropDown> m_dropDown;
};

// What the header and the footer share.
class TExtBar : public QWidget {
    Q_OBJECT

public:
    explicit TExtBar(QWidget* parent, bool footer);

    // Links the bar to an edit: its images and a copy of its header or footer look.
    void LinkTo(TExtCustomDropDown* edit);
    TExtCustomDropDown* DropDown() const { return m_edit; }
    const platform::TImageList* Images() const { return m_images; }
    void SetImages(const platform::TImageList* images) { m_images = images; }
    TBarAppearance& Appearance() { return *m_appearance; }
    const std::vector<TExtButton*>& ButtonControls() const { return m_buttons; }

    // Builds the buttons again from the edit's collection.
    virtual void CreateButtons();
    virtual void ClearButtons();
    virtual void ArrangeButtons();
    virtual void UpdateButtons();
    // The area the buttons stand in.
    platform::Rect ButtonArea() const;

    std::function<void(QObject* sender, platform::Canvas& canvas, const platform::Rect& r)> OnDrawBackGround;
    std::function<void(QObject* sender, QString& text)> OnGetText;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // The bar's appearance changed its visibility: the bar follows it.
    void ApplyAppearance();
    bool GripActive() const;
    void ButtonClicked(TExtButton* button);

    bool m_footer;
    std::unique_ptr<TBarAppearance> m_appearance;
    const platform::TImageList* m_images = nullptr;
    QPointer<TExtCustomDropDown> m_edit;
    std::vector<TExtButton*> m_buttons;
};

class TExtHeader : public TExtBar {
    Q_OBJECT

public:
    explicit TExtHeader(QWidget* parent) : TExtBar(parent, false) {}
    THeaderAppearance& HeaderAppearance() { return static_cast<THeaderAppearance&>(*m_appearance); }
};

class TExtFooter : public TExtBar {
    Q_OBJECT

public:
    explicit TExtFooter(QWidget* parent);
    TFooterAppearance& FooterAppearance() { return static_cast<TFooterAppearance&>(*m_appearance); }
    // The grip zone: the last 12 pixels of the width and 15 of the height.
    bool InGripZone(QPoint p) const;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool m_sizing = false;
    QPoint m_sizeStart;
    QSize m_formStart;
};

} // namespace controls::grid::dropdown

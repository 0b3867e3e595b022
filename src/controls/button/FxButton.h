#pragma once
// TFxButton: the push button of every window. A custom-painted face that lights up in
// HotTrackColor while the pointer is over it, can fade that highlight out slowly after the
// pointer leaves (SlowDecease), carries an optional glyph strip and drop-down arrow, and acts
// as a dialog button: default (Enter) and cancel (Escape) keys, "&" accelerators, a modal
// result handed to its window, a linked action and a pop-up menu.
//
// Typical use from a window:
//     auto* ok = new controls::TFxButton(this);
//     ok->setGeometry(10, 10, 75, 25);
//     ok->setCaption(QStringLiteral("OK"));
//     ok->setModalResult(controls::mrOk);
//     ok->onClick = [this](controls::TFxButton*) { save(); };   // or connect clicked()
//
// Clicks: a left press takes the focus and presses the button; the release clicks it wherever
// the pointer is then (the button holds the mouse). Enter or Space pressed while the button
// has the focus presses it, the key going up clicks it; a key release without that press (the
// key went down in a dialog that closed on it) does nothing. Alt+accelerator clicks at once. A
// click fires onClick (and the clicked() signal), then, when ModalResult is not 0, gives that
// result to the window: a modal QDialog closes with it (done()), any other QDialog only has
// its result set. Property writes never click. A disabled or hidden button never clicks.
//
// Default and cancel: Enter (with any modifier) that the focused control leaves alone clicks
// the Default button of the window, plain Escape (no Shift, Ctrl or Alt) the Cancel button.
// While a button of any kind has the focus (a class name containing "Button", radio buttons
// excepted) Enter stays with it; Escape still goes to the Cancel button (the focused button has
// no use for it, and QDialog itself rejects on an Escape nobody took, past the Cancel button's
// handler). A disabled Default button still swallows Enter.
//
// Enabled, Visible, Top/Left (geometry) and the font are QWidget's own; Hint is shown as the
// tool tip while ShowHint is on.
#include "platform/draw/Canvas.h"
#include "platform/draw/Color.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QAction;
class QMenu;
class QTimer;

namespace controls {

// Stored by name in window descriptions; names and order are fixed.
enum class TFxButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
enum class TFxButtonKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };
enum class TFxButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TFxColorStyle {
    lcsCustom, lcsGold, lcsChrome, lcsBlue, lcsRed, lcsUltraFlat1, lcsUltraFlat2, lcsUltraFlatXP,
    lcsAqua, lcsDefault, lcsQuicken
};

// Modal results.
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrAbort = 3;
constexpr int mrRetry = 4;
constexpr int mrIgnore = 5;
constexpr int mrYes = 6;
constexpr int mrNo = 7;
constexpr int mrAll = 12;

class TFxButton : public QWidget {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TFxButton* sender)>;

    // The slow fade: one tick every kFadeIntervalMs lowers the highlight by one of
    // kHotTrackSteps eighths, so a fade from full highlight takes eight ticks.
    static constexpr int kFadeIntervalMs = 30;
    static constexpr int kHotTrackSteps = 8;

    explicit TFxButton(QWidget* parent = nullptr);
    ~TFxButton() override;

    // --- properties -------------------------------------------------------------------
    void setCaption(const QString& caption); // repaints later
    QString caption() const;

    platform::Alignment alignment() const { return m_alignment; }
    void setAlignment(platform::Alignment a);
    bool cancel() const { return m_cancel; }
    void setCancel(bool on);  // takes Escape
    bool isDefault() const { return m_default; }
    void setDefault(bool on); // takes Enter
    platform::Color color() const { return m_color; }
    void setColor(platform::Color c);
    // Always reads lcsCustom; writing another value applies that colour preset.
    TFxColorStyle colorStyle() const { return m_dummyStyle; }
    void setColorStyle(TFxColorStyle s);
    platform::Color colorWhenDown() const { return m_colorWhenDown; }
    void setColorWhenDown(platform::Color c) { m_colorWhenDown = c; }
    bool flat() const { return m_flat; }
    void setFlat(bool on);
    platform::Color fontColor() const { return m_fontColor; }
    void setFontColor(platform::Color c);
    // Glyph strip: NumGlyphs images of equal width side by side (normal, disabled, pressed,
    // hot). Setting one makes NumGlyphs its width div its height; a null image empties it.
    const platform::Bitmap& glyph() const { return m_glyph; }
    void setGlyph(const QImage& strip);
    void setGlyph(const platform::Bitmap& strip);
    QString hint() const { return m_hint; }
    void setHint(const QString& hint);
    bool showHint() const { return m_showHint; }
    void setShowHint(bool on);
    platform::Color hotTrackColor() const { return m_hotTrackColor; }
    void setHotTrackColor(platform::Color c) { m_hotTrackColor = c; }
    const platform::Font& hotTrackFont() const { return m_htFont; }
    void setHotTrackFont(const platform::Font& f) { m_htFont = f; }
    TFxButtonKind kind() const { return m_kind; }
    void setKind(TFxButtonKind k);
    TFxButtonLayout layout() const { return m_layout; }
    void setLayout(TFxButtonLayout l);
    platform::Color lightColor() const { return m_lightColor; }
    void setLightColor(platform::Color c);
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int n);
    QMenu* popupMenu() const;
    void setPopupMenu(QMenu* menu);
    platform::Color shadowColor() const { return m_shadowColor; }
    void setShadowColor(platform::Color c);
    bool slowDecease() const { return m_slowDecease; }
    void setSlowDecease(bool on);
    TFxButtonStyle style() const { return m_style; }
    void setStyle(TFxButtonStyle s);
    bool tabStop() const { return m_tabStop; }
    void setTabStop(bool on);
    bool useHotTrackFont() const { return m_useHTFont; }
    void setUseHotTrackFont(bool on) { m_useHTFont = on; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    // Linked action: its text, enabled state, visibility and tool tip follow onto the button;
    // a click triggers it after onClick and the modal result. Its icon becomes the glyph when
    // the button has none.
    QAction* action() const;
    void setAction(QAction* action);

    // --- events (the sender is the button) ---------------------------------------------
    NotifyEvent onClick;
    NotifyEvent onMouseEnter;
    NotifyEvent onMouseExit;

    // Clicks the button as a release or key would (nothing when hidden or disabled).
    void click();

    // --- state --------------------------------------------------------------------------
    bool isDown() const { return m_down; }                    // a release will click it
    bool isCursorOnButton() const { return m_cursorOnButton; }
    int hotTrackStep() const { return m_hotTrackStep; }       // 0..8 eighths of HotTrackColor
    bool isFadeRunning() const;
    int fadeIntervalMs() const; // of the fade timer
    // One fade tick; the fade timer calls it. Public so that tests drive the fade.
    void hotTrackTick();

    // The face exactly as the next paint shows it (fuchsia where the parent shows through).
    QImage renderFace() const;

Q_SIGNALS:
    void clicked();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void performClick();
    bool visibleFlag() const; // the button's own Visible, whatever its parent shows
    QImage composeFace() const;
    bool wantsFocusRect() const;
    bool dialogKey(int key, Qt::KeyboardModifiers mods);
    void paintNow();
    bool isHot() const;
    bool canReactToPointer() const;
    void updateShortcut();
    void watchWindow();
    void applyAction();
    void applyActionImage();
    void applyHintToolTip();

    platform::Alignment m_alignment = platform::Alignment::taCenter;
    platform::Color m_shadowColor = platform::rgb(128, 128, 128);
    platform::Color m_colorWhenDown = platform::clNone;
    bool m_flat = false;
    bool m_wordWrap = false;
    platform::Bitmap m_glyph;
    platform::Color m_hotTrackColor = platform::clNone;
    platform::Font m_htFont;
    TFxButtonKind m_kind = TFxButtonKind::bkCustom;
    TFxButtonLayout m_layout = TFxButtonLayout::blGlyphLeft;
    platform::Color m_lightColor = platform::clWhite;
    int m_modalResult = 0;
    int m_numGlyphs = 0;
    bool m_useHTFont = false;
    TFxColorStyle m_dummyStyle = TFxColorStyle::lcsCustom;
    TFxButtonStyle m_style = TFxButtonStyle::bsNormal;
    bool m_default = false;
    bool m_cancel = false;
    bool m_slowDecease = false;
    bool m_down = false;
    bool m_cursorOnButton = false;
    int m_keyDown = 0; // the Enter or Space key that pressed the button, until it comes up
    bool m_hasFader = true;       // the fade exists from construction until SlowDecease is switched off
    bool m_destroying = false;
    int m_hotTrackStep = 0;

    platform::Color m_color = platform::clBtnFace;
    platform::Color m_fontColor = platform::clWindowText;
    QString m_hint;
    bool m_showHint = false;
    bool m_tabStop = true;
    bool m_hiddenByAction = false;
    QString m_caption;
    QPointer<QMenu> m_popupMenu;
    QPointer<QAction> m_action;
    QTimer* m_fadeTimer = nullptr;
    QPointer<QWidget> m_watchedWindow;
    int m_shortcutId = 0;
};

} // namespace controls

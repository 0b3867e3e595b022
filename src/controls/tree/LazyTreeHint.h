#pragma once
// The tree's hint window: a frameless tool window that shows a node's hint or tooltip (the
// node's own text over a cell that cuts it off), or an owner-drawn hint, and fades in (window
// opacity) or slides in (grows downwards) as the tree's HintAnimation says. It never takes the
// focus; the tree hides it when the pointer leaves the rectangle the hint belongs to, on a
// click, a key or scrolling, and after the hide time-out.
#include "controls/tree/LazyTree.h"
#include "platform/draw/Canvas.h"

#include <QImage>
#include <QWidget>

namespace platform {
class Timer;
}

namespace controls {

class TLazyTreeHintWindow : public QWidget {
    Q_OBJECT
public:
    // How long a hint stays when nothing hides it earlier.
    static constexpr int HideTimeout = 10000;

    explicit TLazyTreeHintWindow(QWidget* parent = nullptr);
    ~TLazyTreeHintWindow() override;

    // The size the hint needs (only width and height matter; empty: no hint). Copies Data.
    platform::Rect CalcHintRect(int MaxWidth, const QString& AHint, const TLTHintData* Data);
    // Shows the hint at Rect (screen), kept on the desktop, with the tree's animation.
    void ActivateHint(platform::Rect Rect, const QString& AHint);
    // One step of the animation: paints and lets pending events run; false stops it.
    bool HintAnimationStep(int Step, int StepSize);
    // Step 0 draws the hint into the buffer; every step shows the buffer as the animation is.
    void PaintHintStep(int Step, int StepSize);
    void HideHint();

    const TLTHintData& HintData() const { return FHintData; }
    const QImage& DrawBuffer() const { return FDrawBuffer; }
    int TextHeight() const { return FTextHeight; }
    // The animation step shown now (255 or the window height once complete).
    int ShownStep() const { return FShownStep; }
    THintAnimationType Animation() const { return FAnimation; }
    // Set while any hint window is being destroyed (a running animation stops on it).
    static bool Destroying();
    static void SetDestroying(bool Value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TLTHintData FHintData;
    QImage FDrawBuffer;
    int FTextHeight = 0;
    int FShownStep = 0;
    int FFullHeight = 0;
    THintAnimationType FAnimation = hatNone;
    platform::Timer* FHideTimer = nullptr;
};

} // namespace controls

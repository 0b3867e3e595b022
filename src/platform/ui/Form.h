#pragma once
// The base of the program's windows: a fixed-size window that is shown modally and answers
// through its modal result, with the creation, show and language hooks every window has.
//
//   showModal(): modal result back to 0, the focus taken off the button that ended the last
//   showing (so the keys go where they went at the first showing), FormShow(), then the window
//   runs until something sets a non-zero modal result (a button, the close box, Escape =
//   Cancel); the result is returned. setModalResult(r) with r != 0 ends a running showing.
//
// The title bar has the close button only (no minimise or maximise: the windows have a fixed
// size). Some window managers draw their minimise and maximise buttons whatever a window asks
// for (openbox reads the Motif hints only to drop the whole title bar, never single buttons);
// the fixed size leaves their maximise button without effect, and a minimise is undone
// (keepRestored), so a modal window never vanishes with the main window behind it. A window
// that is shown, or changes its size while shown, is moved into the screen's available area
// (its top at the area's top when it is taller than the area).
//
// The window remembers the last control the user typed into or chose with a click
// (inputFocus()); a message box opened over the window gives the focus back to it when it
// closes, so typing goes on where it was, whichever button the box was opened from.
//
// Creating a window costs next to nothing. The program creates every one of its windows at
// start although a user opens few of them, and the user waits for all of them before the main
// window appears. So a window's constructor (its creation handler) sets only the window's own
// state: its name, size, the fields other windows read and what the creation handler must do at
// start. What only showing needs (controls, their texts, lists, glyphs and pictures) goes into
// buildControls(), which the base runs once, just before the window is first shown (show(),
// exec() or showModal()) or when someone needs the controls earlier (ensureControls(): a test,
// or a command that fills a control of a window not shown yet). While the controls are not
// built, Set_Lang() has nothing to label and returns (buildControls() calls it at its end).
// A few labels and buttons cost little (fonts are looked up once, see Controls.h); grids,
// tab pages, icons from the style and long lists are what must wait. The table editors get
// this from their frame (tables/frame/window/TableDialog.h); bench/app measures the start.
//
// Tests install a ModalDriver: showModal() then runs FormShow() and hands the window to the
// driver instead of entering a nested event loop, so a test fills fields and clicks buttons
// synchronously and reads the result.
#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>

namespace platform {

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(QWidget* parent = nullptr);

    int showModal();
    // Kept as the dialog's result, so a button that ends the dialog with done() or sets its
    // result directly is seen here as well.
    int modalResult() const { return result(); }
    void setModalResult(int result);
    bool isShowingModal() const { return showingModal_; }

    // The size of the area inside the frame; the window cannot be resized by the user.
    void setClientSize(int width, int height);

    // The last control of this window that took the focus as a place to type or choose (a
    // control that takes the focus by a click; buttons do not), or, when it is hidden or
    // disabled since, the nearest control holding it that can still take the focus; null when
    // none is left.
    QWidget* inputFocus() const;

    // Takes captions, hints and button texts from the UI-text table.
    virtual void Set_Lang() {}

    // Runs buildControls() if it has not run yet; showing the window does it by itself.
    void ensureControls();
    bool controlsBuilt() const { return controlsBuilt_; }

    void setVisible(bool visible) override;

protected:
    // Runs each time the window is shown modally, before the user sees it.
    virtual void FormShow() {}

    // What only showing needs (see above); runs once, before the first show.
    virtual void buildControls() {}

    void reject() override;               // Escape: Cancel
    void closeEvent(QCloseEvent* e) override; // close box: Cancel unless a result is set
    void showEvent(QShowEvent* e) override;

private:
    bool showingModal_ = false;
    bool controlsBuilt_ = false;
    QPointer<QWidget> inputFocus_;
};

// Moves a window (its frame) into the available area of its screen: left and top edges win
// over right and bottom ones, so a window larger than the area starts at its top left.
void keepInsideScreen(QWidget* window);

// The window flags of the program's windows: a title with the close button only.
Qt::WindowFlags dialogWindowFlags();

// A window without a minimise button of its own comes back at once when the window manager
// minimises it anyway (with its own button or menu). Lives as long as the window.
void keepRestored(QWidget* window);

using ModalDriver = std::function<void(Form&)>;
// Installs a driver for every following showModal(); an empty function restores the real
// modal loop. Returns the previous driver.
ModalDriver setModalDriver(ModalDriver driver);

} // namespace platform

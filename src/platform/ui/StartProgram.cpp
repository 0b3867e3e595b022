#include "platform/ui/StartProgram.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include "platform/process/Process.h"
#include "platform/ui/Dialogs.h"

namespace platform {

namespace {
// While an updater runs, the window that started it must stay: a close request from the window
// manager (not user input to Qt, so it passes the filter below) would otherwise end the wizard
// in the middle of its own handler.
class KeepWindowsOpen final : public QObject {
public:
    KeepWindowsOpen() { QCoreApplication::instance()->installEventFilter(this); }
    ~KeepWindowsOpen() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            event->ignore();
            return true;
        }
        return false;
    }
};
} // namespace

bool Start_Program(const QString& NomeSW, const QStringList& Parameter, bool tipo)
{
    (void)tipo;
    const QString folder = QFileInfo(NomeSW).absolutePath();
    WaitOutcome out;
    {
        // Only for the wait: a box shown while the filter is on could never close (its OK
        // closes it with a close event), and every window would stay without input.
        const KeepWindowsOpen keepOpen;
        out = startAndWait(NomeSW, Parameter, folder, kStartProgramWaitMs, [] {
            // Paint and timers only: a click now would act on a window the user is not meant
            // to use until the program has ended.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    if (out.kind == WaitOutcome::NotStarted) {
        showError(QStringLiteral("Error! The program could not be started:\n") + QDir::toNativeSeparators(NomeSW) +
                  QStringLiteral("\n") + out.error);
        return false;
    }
    return true;
}

} // namespace platform

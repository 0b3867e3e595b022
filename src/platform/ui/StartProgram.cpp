#include "platform/ui/StartProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>

#include "platform/process/Process.h"
#include "platform/ui/Dialogs.h"

namespace platform {

bool Start_Program(const QString& NomeSW, const QStringList& Parameter, bool tipo)
{
    (void)tipo;
    const QString folder = QFileInfo(NomeSW).absolutePath();
    const WaitOutcome out = startAndWait(NomeSW, Parameter, folder, kStartProgramWaitMs, [] {
        // Paint and timers only: a click now would act on a window the user is not meant to
        // use until the program has ended.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (out.kind == WaitOutcome::NotStarted) {
        showError(QStringLiteral("Error! The program could not be started:\n") + QDir::toNativeSeparators(NomeSW) +
                  QStringLiteral("\n") + out.error);
        return false;
    }
    return true;
}

} // namespace platform

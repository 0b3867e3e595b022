#pragma once
// Starting an external program (the gateway updaters) from a window and waiting for it.
#include <QString>
#include <QStringList>

namespace platform {

// The longest wait for a started program; after it the program goes on running on its own.
constexpr unsigned kStartProgramWaitMs = 150000;

// Starts `NomeSW` with the argument vector `Parameter` (in the program's folder) and waits
// until it ends or kStartProgramWaitMs have passed. The user cannot work in the windows
// meanwhile, but they keep painting. A program that is missing or cannot be started gives an
// error box that names its file; the result then is false. `tipo` asks for the started
// program's window to be hidden, which only a program of a windowing system that supports it
// can honour; it is accepted for the callers' sake and does not change the wait.
bool Start_Program(const QString& NomeSW, const QStringList& Parameter, bool tipo);

} // namespace platform

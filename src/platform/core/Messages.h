#pragma once
// Registered window messages: a name gives the same message (a custom event type) to every
// part of the program that registers it, as the platform's RegisterWindowMessage does.
#include <QEvent>
#include <QString>

namespace platform {

QEvent::Type RegisterWindowMessage(const QString& name);

} // namespace platform

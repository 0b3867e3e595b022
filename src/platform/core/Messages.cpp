#include "platform/core/Messages.h"

#include <QHash>
#include <QMutex>

namespace platform {

QEvent::Type RegisterWindowMessage(const QString& name)
{
    static QMutex mutex;
    static QHash<QString, int> registered;
    const QMutexLocker lock(&mutex);
    auto it = registered.find(name);
    if (it == registered.end())
        it = registered.insert(name, QEvent::registerEventType());
    return QEvent::Type(*it);
}

} // namespace platform

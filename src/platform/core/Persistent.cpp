#include "platform/core/Persistent.h"

#include "platform/core/Errors.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace platform {

QString TObject::ClassName() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    QString name = QString::fromLatin1(status == 0 && plain ? plain.get() : mangled);
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    if (colons >= 0)
        name = name.mid(colons + 2);
    return name;
}

void TPersistent::Assign(const TPersistent* source)
{
    if (source) {
        source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest) const
{
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const
{
    const QString from = source ? source->ClassName() : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(from, ClassName()));
}

void RaiseInvalidCast()
{
    throw EInvalidCast(QStringLiteral("Invalid class typecast"));
}

} // namespace platform

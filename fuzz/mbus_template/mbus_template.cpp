// A device template on arbitrary bytes: the texts, the device variables and the object-name
// pieces come out or a UserError does, never a crash; the leading rows are never variables.
#include "mbus/Template.h"
#include "platform/text/UserError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    mbus::TemplateTexts t;
    try {
        t = mbus::parseTemplateTexts(bytes, QStringLiteral("fuzz.xml"));
    } catch (const platform::UserError&) {
        return 0;
    }
    size_t leading = 0;
    for (const mbus::TemplateItemTexts& v : t.variables) {
        if (mbus::isLeadingRow(v))
            ++leading;
        const auto splits = mbus::Split_Object_Name(v.value(QStringLiteral("ObjectName")).value_or(QString()));
        if (splits)
            (void)mbus::completedObjectName(*splits, QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"));
        (void)mbus::frameFromHexText(v.value(QStringLiteral("Description")).value_or(QString()));
    }
    if (mbus::templateVariables(t).size() + leading != t.variables.size())
        std::abort();
    (void)mbus::templateDeviceKind(t);
    return 0;
}

// The core's readers of stored text: comma text, format texts, numbers, dates and colours. Any
// input ends in a value or an EConvertError, never a crash; comma text written back reads as
// the same items.
#include "platform/core/Conversions.h"
#include "platform/core/DateTime.h"
#include "platform/core/Errors.h"
#include "platform/core/Format.h"
#include "platform/core/StringList.h"
#include "platform/draw/Color.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace platform;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));

    TStringList list;
    list.SetCommaText(text);
    TStringList again;
    again.SetCommaText(list.CommaText());
    if (!again.Equals(list))
        std::abort();

    try {
        const QString out = Format(text, {42, 2.5, "s", -7, 1e300, "t"});
        if (out.size() > text.size() * 4200 + 64)
            std::abort();
    } catch (const EConvertError&) {
    }
    double d = 0;
    (void)TryStrToFloat(text, d);
    TDateTime date = 0;
    (void)TryStrToDate(text, date, FormatSettings());
    (void)FormatDateTime(text, 45000.5);
    try {
        (void)StringToColor(text);
    } catch (const EConvertError&) {
    }
    return 0;
}

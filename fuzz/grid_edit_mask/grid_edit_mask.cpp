// Edit masks in the platform's syntax (a column's mask may come from a stored layout) turned
// into the edit control's masks: any text must give a mask whose only unescaped ";" is the one
// before its blank character, so that the edit control never reads a part of it as settings.
#include "platform/grid/InplaceEdit.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString mask = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const platform::EditMaskPattern translated = platform::translateEditMask(mask);
    const QString& m = translated.qtMask;
    if (m.isEmpty())
        return 0;
    if (m.size() < 2 || m.at(m.size() - 2) != u';')
        std::abort();
    for (qsizetype i = 0; i < m.size() - 2; ++i) {
        if (m.at(i) == u'\\') {
            if (i + 1 >= m.size() - 2)
                std::abort(); // an escape must not swallow the separator
            ++i;
            continue;
        }
        if (m.at(i) == u';')
            std::abort();
    }
    return 0;
}

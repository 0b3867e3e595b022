// Rich-text cells come from files, the clipboard and drops. The reader takes any text without a
// crash, and what the writer makes of plain text reads back as that text.
#include "controls/grid/core/RichText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace controls::grid;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString plain = RichTextToPlain(text);
    if (plain.size() > text.size() + 1)
        std::abort();
    // Plain text without line feeds of its own (a CR LF pair is one paragraph mark).
    QString sample = text;
    sample.remove(u'\r');
    sample.remove(u'\n');
    if (RichTextToPlain(PlainToRichText(sample)) != sample)
        std::abort();
    return 0;
}

#include "platform/core/FormatSettings.h"

namespace platform {

namespace {
TFormatSettings& current()
{
    static TFormatSettings s;
    return s;
}
} // namespace

const TFormatSettings& DefaultFormatSettings()
{
    static const TFormatSettings s;
    return s;
}

const TFormatSettings& FormatSettings() { return current(); }

void SetFormatSettings(const TFormatSettings& settings) { current() = settings; }

void ResetFormatSettings() { current() = DefaultFormatSettings(); }

} // namespace platform

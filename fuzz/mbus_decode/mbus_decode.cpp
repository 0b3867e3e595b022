// M-Bus reply frames, record areas and wireless telegrams (encrypted ones with their key) on
// arbitrary bytes; the first byte picks the decoder (see Exercise.h). No input may crash or
// break the decoders' invariants.
#include "mbus/decode/support/Exercise.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    mbustest::exerciseDecoders(std::span<const uint8_t>(data, size));
    return 0;
}

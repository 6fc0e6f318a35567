// SPDX-License-Identifier: GPL-3.0-or-later
// One libFuzzer program per target: SKARTINA_FUZZ_TARGET names the function.

#include "fuzz/FuzzTargets.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    skartina::fuzz::SKARTINA_FUZZ_TARGET(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}

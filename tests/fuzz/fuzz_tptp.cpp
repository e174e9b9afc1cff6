// libFuzzer entry for the TPTP reader target (see fuzz_targets.h).
#include "fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  velmoran::fuzz::Tptp(data, size);
  return 0;
}

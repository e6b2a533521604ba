// The libFuzzer entry of one reader; the build compiles it once for each, naming the reader's
// entry point in KALETH_FUZZ_ENTRY.
#include "fuzz/fuzz_targets.h"
#include "platform/backends/machine_profile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  LoadMachineProfile();
  InstallFuzzMachine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  KALETH_FUZZ_ENTRY(data, size);
  return 0;
}

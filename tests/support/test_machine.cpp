// The test programs start as every program does, from the machine profile (so that
// KALETH_THREADS=4 sizes the pool of the ThreadSanitizer run), and count every fault-registry
// call, which the tests read to arm a fault at the next call and to check how often one ran.
#include "platform/faults.h"
#include "platform/backends/machine_profile.h"

namespace {

[[maybe_unused]] const bool started = [] {
  LoadMachineProfile();
  faults::CountCalls();
  return true;
}();

}  // namespace

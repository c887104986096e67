// Test-only switch of the POSIX platform layer: makes a chosen ReadFile or
// WriteFile call fail (or a write come up short), so tests can reach the
// I/O failure paths of the portable families without a broken disk.
#pragma once

namespace qx::platform {

enum class IoOp { kRead, kWrite };

enum class IoFault {
  kFail,   // the call returns FALSE with ERROR_READ_FAULT / ERROR_WRITE_FAULT
  kShort,  // a write reports success having written only half the bytes
};

// Arms a fault for the nth call of `op` from now (1 is the very next call).
// One fault per operation kind is armed at a time; arming replaces it.
void FailNthIo(IoOp op, unsigned nth, IoFault fault = IoFault::kFail);

// Disarms both kinds.
void ResetIoFaults();

}  // namespace qx::platform

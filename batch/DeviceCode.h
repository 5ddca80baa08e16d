#pragma once
// Functions written once for the processor and for a CUDA GPU (KESTRUM_HD,
// see engine/HostDevice.h), and inlined: the batch's per-game code is small
// and runs in the hot loop. Under a plain C++ compiler they are for the
// processor only, which is how the tests play the GPU's games on any machine.

#include "engine/HostDevice.h"

#if defined(__CUDACC__)
#define KESTRUM_HOST_DEVICE KESTRUM_HD __forceinline__
#else
#define KESTRUM_HOST_DEVICE KESTRUM_HD inline
#endif

#pragma once
// Functions marked KESTRUM_HD compile for the processor and, under nvcc, for
// the graphics card as well, so that a kernel gives exactly the figures of
// the code it mirrors. Such functions take plain arrays, throw nothing and
// allocate nothing.

#if defined(__CUDACC__)
#define KESTRUM_HD __host__ __device__
#else
#define KESTRUM_HD
#endif

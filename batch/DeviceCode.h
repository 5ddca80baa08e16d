#pragma once
// Functions written once for the processor and for a CUDA GPU. Under nvcc
// they are compiled for both; under a plain C++ compiler for the processor
// only, which is how the tests play the GPU's games on any machine.

#if defined(__CUDACC__)
#define KESTRUM_HOST_DEVICE __host__ __device__ __forceinline__
#else
#define KESTRUM_HOST_DEVICE inline
#endif

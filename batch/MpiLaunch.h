#pragma once
// Whether this process was started by an MPI launcher (mpirun, mpiexec,
// srun), told by the environment the launchers set, so that a process
// started on its own never initialises MPI: no messages, no delay.

namespace kestrum {

bool LaunchedByMpi();

// Whether this build can share a batch among MPI processes.
bool BuiltWithMpi();

}  // namespace kestrum

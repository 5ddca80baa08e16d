#include "batch/MpiLaunch.h"

#include <cstdlib>
#include <initializer_list>

namespace kestrum {

bool LaunchedByMpi() {
  // Open MPI's own, then the process-management interfaces that MPICH,
  // Slurm and PMIx launchers set.
  for (const char* name : {"OMPI_COMM_WORLD_SIZE", "PMI_SIZE", "PMIX_RANK"})
    if (std::getenv(name) != nullptr) return true;
  return false;
}

bool BuiltWithMpi() {
#ifdef KESTRUM_HAVE_MPI
  return true;
#else
  return false;
#endif
}

}  // namespace kestrum

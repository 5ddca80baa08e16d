#include "batch/MpiSession.h"

#include <mpi.h>

namespace kestrum {

MpiSession::MpiSession() {
  int provided = 0;
  MPI_Init_thread(nullptr, nullptr, MPI_THREAD_FUNNELED, &provided);
  MPI_Comm_rank(MPI_COMM_WORLD, &rank_);
  MPI_Comm_size(MPI_COMM_WORLD, &size_);
}

MpiSession::~MpiSession() { MPI_Finalize(); }

}  // namespace kestrum

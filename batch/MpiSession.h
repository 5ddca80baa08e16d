#pragma once
// MPI for the life of one command: initialised with only the main thread
// making MPI calls (the threads that play blocks never do), finalised at the
// end.

namespace kestrum {

class MpiSession {
 public:
  MpiSession();
  ~MpiSession();
  MpiSession(const MpiSession&) = delete;
  MpiSession& operator=(const MpiSession&) = delete;

  int Rank() const { return rank_; }
  int Size() const { return size_; }

 private:
  int rank_ = 0;
  int size_ = 1;
};

}  // namespace kestrum

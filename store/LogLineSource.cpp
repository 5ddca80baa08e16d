#include "store/LogLineSource.h"

#include <algorithm>
#include <cstring>

#include "store/TenhouLogFormat.h"

namespace kestrum {

std::size_t StreamInput::Read(char* buffer, std::size_t size) { return std::fread(buffer, 1, size, stream_); }

bool StreamInput::Failed() const { return std::ferror(stream_) != 0; }

std::size_t TextInput::Read(char* buffer, std::size_t size) {
  const std::size_t n = std::min(size, text_.size());
  if (n > 0) std::memcpy(buffer, text_.data(), n);
  text_.remove_prefix(n);
  return n;
}

bool LogLineSource::Refill() {
  begin_ = 0;
  end_ = input_.Read(buffer_, sizeof buffer_);
  return end_ > 0;
}

int LogLineSource::PeekByte() {
  if (begin_ == end_ && !Refill()) return -1;
  return static_cast<unsigned char>(buffer_[begin_]);
}

// A CR LF pair comes out as one LF; a CR before anything else stays a CR.
int LogLineSource::NextByte() {
  int byte = PeekByte();
  if (byte < 0) return -1;
  ++begin_;
  ++offset_;
  if (byte == '\r' && PeekByte() == '\n') {
    ++begin_;
    ++offset_;
    byte = '\n';
  }
  return byte;
}

bool LogLineSource::Next(std::string& line) {
  line.clear();
  while (line.size() < static_cast<std::size_t>(kMaxLineBytes)) {
    const int byte = NextByte();
    if (byte < 0) break;
    line += static_cast<char>(byte);
    if (byte == '\n') break;
  }
  return !line.empty();
}

}  // namespace kestrum

#pragma once
// Lines of log text as the old text-mode stream gave them to a 200-byte
// line buffer: CR LF arrives as LF, a bare LF ends a line as well, and a
// line longer than 199 bytes comes in pieces of 199.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kestrum {

class ByteInput {
 public:
  virtual ~ByteInput() = default;
  // Up to size bytes into buffer; 0 at the end or on failure.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual bool Failed() const = 0;
};

class StreamInput final : public ByteInput {
 public:
  explicit StreamInput(std::FILE* stream) : stream_(stream) {}
  std::size_t Read(char* buffer, std::size_t size) override;
  bool Failed() const override;

 private:
  std::FILE* stream_;
};

class TextInput final : public ByteInput {
 public:
  explicit TextInput(std::string_view text) : text_(text) {}
  std::size_t Read(char* buffer, std::size_t size) override;
  bool Failed() const override { return false; }

 private:
  std::string_view text_;
};

class LogLineSource {
 public:
  explicit LogLineSource(ByteInput& input) : input_(input) {}

  // The next line, its LF included when it has one; false at the end.
  bool Next(std::string& line);
  // Bytes of the input consumed so far: where the next line begins.
  std::int64_t Offset() const { return offset_; }
  bool Failed() const { return input_.Failed(); }

 private:
  int NextByte();
  int PeekByte();
  bool Refill();

  ByteInput& input_;
  char buffer_[4096];
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::int64_t offset_ = 0;
};

}  // namespace kestrum

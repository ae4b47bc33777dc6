// The framing of the Language Server Protocol: messages of JSON text, each after a header with its
// Content-Length, read from a stream of bytes that may arrive in pieces.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace marvo::lsp {

// One framed piece of input: a message body, or the note that the header was unusable (a missing
// or malformed Content-Length). After an unusable header the reader looks for the next
// "Content-Length" and goes on from there.
struct Frame {
  enum Kind { Body, BadHeader } kind = Body;
  std::string body;
};

class MessageReader {
 public:
  // Bodies larger than this are refused as a bad header (the bytes are skipped).
  static constexpr std::size_t kMaxBody = std::size_t{1} << 30;

  // Appends bytes read from the stream.
  void feed(std::string_view bytes);
  // The next complete frame, or none while more bytes are needed.
  std::optional<Frame> next();
  // Bytes fed but not yet taken as a frame.
  std::size_t pending() const { return buffer_.size() - start_; }

 private:
  void compact();

  std::string buffer_;
  std::size_t start_ = 0;     // where unread input begins in buffer_
  std::size_t skipBody_ = 0;  // bytes of a refused body still to be dropped
  bool resync_ = false;       // after a bad header: drop input until the next "Content-Length"
};

// A body framed for writing: the header, then the body.
std::string frameMessage(std::string_view body);

}  // namespace marvo::lsp

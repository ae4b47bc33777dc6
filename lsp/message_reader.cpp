// The framing of the Language Server Protocol.
#include "message_reader.h"

#include <algorithm>
#include <cctype>

namespace marvo::lsp {

namespace {

constexpr std::string_view kLengthField = "content-length";
// A header longer than this without its blank line is no header.
constexpr std::size_t kMaxHeader = 8192;

bool equalsLowered(std::string_view a, std::string_view lowered) {
  if (a.size() != lowered.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != lowered[i]) return false;
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The Content-Length of a header block (lines ended by "\r\n" or "\n"), or none when it is missing,
// repeated, or not a plain decimal number.
std::optional<std::size_t> contentLength(std::string_view header) {
  std::optional<std::size_t> length;
  while (!header.empty()) {
    const std::size_t end = header.find('\n');
    std::string_view line = header.substr(0, end);
    header.remove_prefix(end == std::string_view::npos ? header.size() : end + 1);
    line = trimmed(line);
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    if (!equalsLowered(trimmed(line.substr(0, colon)), kLengthField)) continue;
    const std::string_view value = trimmed(line.substr(colon + 1));
    if (length || value.empty() || value.size() > 12) return std::nullopt;
    std::size_t n = 0;
    for (char c : value) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    length = n;
  }
  return length;
}

// Where the blank line that ends a header starts, and its length ("\r\n\r\n" or "\n\n").
std::pair<std::size_t, std::size_t> headerEnd(std::string_view s) {
  const std::size_t crlf = s.find("\r\n\r\n");
  const std::size_t lf = s.find("\n\n");
  if (crlf == std::string_view::npos && lf == std::string_view::npos) return {std::string_view::npos, 0};
  if (lf < crlf) return {lf, 2};
  return {crlf, 4};
}

// The first "Content-Length" (any letter case) in `s`, or npos.
std::size_t findLengthField(std::string_view s) {
  for (std::size_t i = 0; i + kLengthField.size() <= s.size(); ++i)
    if (equalsLowered(s.substr(i, kLengthField.size()), kLengthField)) return i;
  return std::string_view::npos;
}

}  // namespace

void MessageReader::feed(std::string_view bytes) { buffer_.append(bytes); }

void MessageReader::compact() {
  // Drop what was read once it is the larger part, so a long session does not keep growing.
  if (start_ > 4096 && start_ * 2 > buffer_.size()) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
}

std::optional<Frame> MessageReader::next() {
  for (;;) {
    std::string_view rest = std::string_view(buffer_).substr(start_);
    if (skipBody_ > 0) {
      const std::size_t n = std::min(skipBody_, rest.size());
      skipBody_ -= n;
      start_ += n;
      compact();
      if (skipBody_ > 0) return std::nullopt;
      continue;
    }
    if (resync_) {
      const std::size_t at = findLengthField(rest);
      if (at == std::string_view::npos) {
        // Keep a tail that may be the start of the field.
        const std::size_t keep = std::min(rest.size(), kLengthField.size() - 1);
        start_ += rest.size() - keep;
        compact();
        return std::nullopt;
      }
      start_ += at;
      resync_ = false;
      continue;
    }
    // Blank lines between messages are skipped.
    std::size_t blank = 0;
    while (blank < rest.size() && (rest[blank] == '\r' || rest[blank] == '\n')) ++blank;
    if (blank > 0) {
      start_ += blank;
      continue;
    }
    const auto [end, sepLength] = headerEnd(rest.substr(0, kMaxHeader + 4));
    if (end == std::string_view::npos) {
      if (rest.size() <= kMaxHeader) return std::nullopt;
      start_ += 1;
      resync_ = true;
      return Frame{Frame::BadHeader, {}};
    }
    const std::optional<std::size_t> length = contentLength(rest.substr(0, end));
    if (!length) {
      // The next "Content-Length" may lie inside what looked like this header (the rest of a body
      // that was shorter than its header said): look for it from the next byte.
      start_ += 1;
      resync_ = true;
      return Frame{Frame::BadHeader, {}};
    }
    if (*length > kMaxBody) {
      start_ += end + sepLength;
      skipBody_ = *length;
      return Frame{Frame::BadHeader, {}};
    }
    if (rest.size() < end + sepLength + *length) return std::nullopt;
    Frame frame{Frame::Body, std::string(rest.substr(end + sepLength, *length))};
    start_ += end + sepLength + *length;
    compact();
    return frame;
  }
}

std::string frameMessage(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace marvo::lsp

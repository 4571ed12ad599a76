#include "framing/frame_cutter.h"

#include "framing/hex.h"

namespace {

// The digits [first, first + count) of `text`, 1-based, cut short where the text ends.
std::string digits(std::string_view text, std::size_t first, std::size_t count = std::string_view::npos) {
  if (first > text.size()) return {};
  return std::string(text.substr(first - 1, count));
}

}  // namespace

FrameCut cutFrame(std::string_view unread, std::string_view remoteConId) {
  FrameCut cut;
  const std::string startKey = DecodeHex("00" + std::string(remoteConId));
  const std::size_t start = unread.find(startKey);
  if (start == std::string_view::npos) return cut;
  cut.S = 2 * start + 1;

  const std::size_t marker = unread.find("\x10\x03");
  if (marker == std::string_view::npos) {
    cut.kind = FrameCut::Kind::NoEnd;
    return cut;
  }
  cut.E = 2 * marker + 2;
  cut.N = marker + 2;
  if (cut.E < cut.S) {
    cut.kind = FrameCut::Kind::Junk;
    return cut;
  }

  cut.kind = FrameCut::Kind::Frame;
  const std::string text = EncodeHex(unread.substr(start, marker + 2 - start));
  cut.fields.FBS = digits(text, 7, 8);
  cut.fields.SBS = digits(text, 15, 8);
  cut.fields.RCW = digits(text, 23, 4);
  cut.fields.OPC = digits(text, 27, 2);
  cut.fields.PAY = digits(text, 29);
  return cut;
}

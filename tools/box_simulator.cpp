// Plays a modem with a game box calling in, on the master side of a pseudo-terminal pair that it
// creates; the server under test opens the slave side. Every frame the server writes is checked
// against values worked out here, apart from the project's own code: the frame check comes from
// Boost.CRC.
//
// Usage: box-simulator [--calls N] [--patch PATH | --expect-override HEX] [--split] [--junk]
//                      [--opcode87] [--soak --link PATH] [--hold-ms MS] [--pace-us N]
//                      [--timeout-ms MS]
// The first line on standard output is the slave's path (or the link's, with --link). Exit status
// 0 when every call checked out; otherwise one line on standard error says what differed, and the
// status is 1.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <boost/crc.hpp>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

constexpr std::size_t kHeaderBytes = 14;   // lead byte, ADR, FBS, SBS, RCW, OPC
constexpr std::size_t kTrailerBytes = 4;   // check and end marker
constexpr std::size_t kChunkBytes = 1023;  // the most one data frame carries
constexpr std::uint16_t kServerAddress = 0x1FFA;
constexpr std::uint16_t kConnectionIds[] = {0x1234,
                                            0x0003};  // 0003: the handshake's check is short
constexpr milliseconds kRetryAfter{300};  // the server acts only on a data event; poke it again
constexpr milliseconds kStepTimeout{5000};
constexpr int kMaxTries = 10;
// Soak pacing: a slow line gives the server the data events it needs apart, and where both
// halves still arrive together, a stray line end gives it the next one.
constexpr milliseconds kLinePause{4};
constexpr milliseconds kPokeAfter{25};
constexpr int kMaxPokes = 200;
constexpr std::string_view kPoke = "\r\n";
constexpr std::string_view kNoCarrier = "NO CARRIER\r\n";

std::uint16_t frameCheck(std::string_view bytes) {
  boost::crc_optimal<16, 0x1021, 0xFFFF, 0xFFFF, false, false> crc;  // CRC-16/GENIBUS
  crc.process_bytes(bytes.data(), bytes.size());
  return crc.checksum();
}

std::string hexOf(std::string_view bytes, std::size_t limit = 48) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
    text += ' ';
  }
  if (bytes.size() > limit) text += "... (" + std::to_string(bytes.size()) + " bytes)";
  if (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Hex text to bytes, blanks and line breaks ignored; nothing when anything else is in it or the
// digits do not make whole bytes.
std::optional<std::string> bytesOfHex(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    digits += c;
  }
  if (digits.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

void putBigEndian(std::string& out, std::uint32_t value, int width) {
  for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

std::uint32_t bigEndianAt(std::string_view bytes, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = 0; i < width; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::string header(std::uint16_t address, std::uint32_t fbs, std::uint32_t sbs, std::uint16_t rcw,
                   std::uint8_t opcode) {
  std::string frame(1, '\0');
  putBigEndian(frame, address, 2);
  putBigEndian(frame, fbs, 4);
  putBigEndian(frame, sbs, 4);
  putBigEndian(frame, rcw, 2);
  frame += static_cast<char>(opcode);
  return frame;
}

std::string sealed(std::string frame) {
  putBigEndian(frame, frameCheck(frame), 2);
  return frame + "\x10\x03";
}

// The server's count of a buffer: 0 when empty, else its bytes plus one, an odd half dropped.
std::uint32_t positionField(std::size_t hexDigits) {
  return hexDigits == 0 ? 0 : static_cast<std::uint32_t>(hexDigits / 2 + 1);
}

// The server rebuilds a handshake or data frame once, RCW lowered by 0x68, when its check has
// fewer than four hex digits.
std::uint16_t expectedRcw(const std::function<std::string(std::uint16_t)>& build,
                          std::uint16_t normal) {
  return frameCheck(build(normal)) < 0x1000 ? static_cast<std::uint16_t>(normal - 0x68) : normal;
}

std::string zeroPadded(std::string_view text, std::size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, '\0');
  return field;
}

// The box's six login messages: system, login, game, system version, connect type (03,
// challenge) and version count. The user's name tells the calls of a run apart.
std::string loginStream(int call) {
  std::string s = "\x1F";
  s += "BOX1";
  s += '\x0B';
  putBigEndian(s, 0x00001F40, 4);  // OS free
  putBigEndian(s, 0x00000800, 4);  // DB free
  putBigEndian(s, 0x00000001, 4);  // misc flags
  putBigEndian(s, 0x00000002, 4);  // last box state
  s += zeroPadded("18005551234", 26);
  putBigEndian(s, 0x00000001, 4);       // region
  putBigEndian(s, 0x00BEEF01, 4);       // serial
  s += std::string("\x00\x03\x05", 3);  // user slot, colour, icon
  s += zeroPadded("LAKESIDE", 34);
  s += zeroPadded("KORVANDEL" + std::to_string(call), 34);
  s += '\x0C';
  putBigEndian(s, 0x474D3031, 4);  // game id
  putBigEndian(s, 0x00000001, 4);  // patch version
  s += '\x0F';
  putBigEndian(s, 0x0001, 2);
  putBigEndian(s, 0x00000005, 4);
  s += "\x0E\x03";
  s += '\x10';
  putBigEndian(s, 0x00000102, 4);
  s += '\x01';
  return s;
}

struct Options {
  int calls = 1;
  std::string expected;  // the upload, as bytes
  bool split = false;
  bool junk = false;
  bool opcode87 = false;
  bool soak = false;
  bool loseLine = false;  // the first call's line vanishes mid-upload
  std::string link;       // a symbolic link kept pointing at the current slave
  milliseconds hold{0};   // the line stays up this long after a whole upload's last frame
  microseconds pace{0};   // a byte at a time, this long after the one before, as a slow line
  milliseconds timeout{20000};
};

enum class CallKind { Good, Junk, CutShort, EndMarkerInPayload, HangUpMidUpload, PortLost };
constexpr std::string_view kKindNames[] = {
    "good", "junk", "cut short", "10 03 in payload", "hang-up mid-upload", "port lost"};

// What the server writes in answer to one box frame.
enum class Reply { Data, Acknowledgement };

// What one call does. `at` is the box frame after the handshake, from 0, where a hostile call
// strikes; `hostile` numbers the hostile calls of a run from 1 and varies where and how.
struct CallPlan {
  CallKind kind = CallKind::Good;
  int at = 0;
  int hostile = 0;
};

class BoxSimulator {
 public:
  explicit BoxSimulator(const Options& options);
  BoxSimulator(const BoxSimulator&) = delete;
  BoxSimulator& operator=(const BoxSimulator&) = delete;
  ~BoxSimulator();

  // The path the server is to open.
  const std::string& devicePath() const {
    return options_.link.empty() ? slavePath_ : options_.link;
  }
  void run();
  void printSummary() const;

 private:
  void openLine();
  void loseLine();
  CallPlan planCall() const;

  void waitForAutoAnswer();
  void ring();
  void handshake();
  bool dialogue();
  bool step(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload,
            std::initializer_list<Reply> replies);
  void endMarkerInPayload();
  void hangUp();
  void expectRearmed();

  std::string boxFrame(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload);
  void boxSends(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload = {},
                std::string_view behind = {});
  std::string lineNoise(const std::function<bool(std::string_view)>& harmless);
  std::string startKey() const;
  void expectAcknowledgement();
  void expectDataFrame();
  std::string takeServerFrame(std::string_view what);
  void checkField(std::string_view frame, std::string_view field, std::uint32_t got,
                  std::uint32_t expected);
  void expectNothingMore(std::string_view after);

  std::optional<std::string> takeCommand(milliseconds within);
  void expectCommand(std::string_view command);
  void answer(std::string_view command);

  void send(std::string_view bytes);
  void write(std::string_view bytes);
  bool waitFor(const std::function<bool()>& ready, milliseconds within);
  void waitPoking(const std::function<bool()>& ready, std::string_view what);
  [[noreturn]] void fail(const std::string& what) const;

  const Options& options_;
  const Clock::time_point deadline_;
  const std::size_t chunks_;  // data frames of a whole upload
  int master_ = -1;
  int slave_ = -1;  // kept open, so the master never reads a hang-up while the server reopens
  std::string slavePath_;
  std::string inbox_;  // what the server wrote, not yet checked
  microseconds pace_;  // of the call under way
  Clock::time_point lastByteAt_;
  int call_ = 0;
  CallPlan plan_;
  std::uint16_t connectionId_ = 0;
  int junkSent_ = 0;
  std::uint32_t noiseState_ = 0x9E3779B9;
  // The server's side of one call as the box expects it.
  std::size_t payloadTaken_ = 0;  // bytes of payload the server took from the box's frames
  std::size_t sentDigits_ = 0;    // hex digits of upload the server counts as sent
  std::string upload_;            // upload bytes received
  int dataFrames_ = 0;
  int boxFramesSent_ = 0;  // after the handshake
  std::string ending_;     // how a hostile call ended, for its report line
  // Over the run.
  int tally_[std::size(kKindNames)] = {};
  int wholeUploads_[std::size(kKindNames)] = {};
  int ringRepeats_ = 0;
  int pokes_ = 0;
};

BoxSimulator::BoxSimulator(const Options& options)
    : options_(options),
      deadline_(Clock::now() + options.timeout),
      chunks_((options.expected.size() + kChunkBytes - 1) / kChunkBytes),
      pace_(options.soak ? microseconds(0) : options.pace) {
  openLine();
}

BoxSimulator::~BoxSimulator() {
  ::close(master_);
  ::close(slave_);
  if (!options_.link.empty()) ::unlink(options_.link.c_str());
}

void BoxSimulator::openLine() {
  termios raw{};
  ::cfmakeraw(&raw);
  if (::openpty(&master_, &slave_, nullptr, &raw, nullptr) != 0) {
    fail(std::string("openpty failed: ") + std::strerror(errno));
  }
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  slavePath_ = ::ptsname(master_);
  if (options_.link.empty()) return;
  // Replaced in one step, so the server never finds the link missing or half made.
  const std::string fresh = options_.link + ".new";
  ::unlink(fresh.c_str());
  if (::symlink(slavePath_.c_str(), fresh.c_str()) != 0 ||
      ::rename(fresh.c_str(), options_.link.c_str()) != 0) {
    fail("cannot point " + options_.link + " at " + slavePath_ + ": " + std::strerror(errno));
  }
}

// The port disappears mid-call: the line goes, a new one takes its place under the link. The
// server is to open it again with auto-answer on, and to have ended the lost call by itself: the
// new modem knows nothing of it and reports no NO CARRIER.
void BoxSimulator::loseLine() {
  const std::string lost = slavePath_;
  ::close(master_);
  ::close(slave_);
  inbox_.clear();
  openLine();
  expectCommand("AT&F");
  expectCommand("ATS0=2");
  ending_ = "line " + lost + " closed before box frame " + std::to_string(plan_.at + 1) +
            "; the server opened " + slavePath_ + " through the link, no NO CARRIER";
}

CallPlan BoxSimulator::planCall() const {
  // Box frame 3 comes after the first data frame.
  if (options_.loseLine && call_ == 1) return {CallKind::PortLost, 3, 0};
  if (!options_.soak || call_ % 10 != 0) return {};
  const int hostile = call_ / 10;
  const int frames = static_cast<int>(chunks_) + 3;  // login, new position, repeat, then one per
                                                     // further chunk, and the last
  if (hostile % 25 == 5) return {CallKind::PortLost, hostile % frames, hostile};
  switch (hostile % 4) {
    case 0:
      return {CallKind::Junk, 0, hostile};
    case 1:
      return {CallKind::CutShort, hostile % frames, hostile};
    case 2:
      return {CallKind::EndMarkerInPayload, 0, hostile};
    default:  // the frames that bring data, from the one that starts the upload
      return {CallKind::HangUpMidUpload, 2 + hostile % static_cast<int>(chunks_), hostile};
  }
}

void BoxSimulator::run() {
  waitForAutoAnswer();
  for (call_ = 1; call_ <= options_.calls; ++call_) {
    plan_ = planCall();
    // A soak paces one good call in twenty; the rest keep it short.
    if (options_.soak) pace_ = call_ % 20 == 5 ? options_.pace : microseconds(0);
    connectionId_ = kConnectionIds[(call_ - 1) % std::size(kConnectionIds)];
    payloadTaken_ = 0;
    sentDigits_ = 0;
    upload_.clear();
    dataFrames_ = 0;
    boxFramesSent_ = 0;
    ring();
    handshake();
    bool whole = false;
    if (plan_.kind == CallKind::EndMarkerInPayload) {
      endMarkerInPayload();
    } else {
      whole = dialogue();
    }
    if (whole) {
      std::this_thread::sleep_for(options_.hold);
      hangUp();
    }
    const auto kind = static_cast<std::size_t>(plan_.kind);
    ++tally_[kind];
    char id[5];
    std::snprintf(id, sizeof id, "%04X", connectionId_);
    std::cout << "call " << call_ << ": ";
    if (options_.soak) std::cout << kKindNames[kind] << ": ";
    std::cout << "connection id " << id << ", ";
    if (whole) {
      ++wholeUploads_[kind];
      std::cout << dataFrames_ << " data frames, " << upload_.size()
                << " bytes uploaded, every frame checked" << std::endl;
    } else {
      std::cout << ending_ << "; modem re-armed, every frame checked" << std::endl;
    }
  }
}

void BoxSimulator::printSummary() const {
  std::cout << "box-simulator: " << options_.calls << " calls checked out";
  if (!options_.soak) {
    std::cout << std::endl;
    return;
  }
  std::cout << "; " << wholeUploads_[0] << " good with whole uploads; hostile:";
  for (std::size_t kind = 1; kind < std::size(kKindNames); ++kind) {
    std::cout << (kind > 1 ? "," : "") << ' ' << tally_[kind] << ' ' << kKindNames[kind];
    if (wholeUploads_[kind] > 0) std::cout << " (" << wholeUploads_[kind] << " whole uploads)";
  }
  std::cout << "; " << ringRepeats_ << " RING repeats, " << pokes_ << " line pokes" << std::endl;
}

void BoxSimulator::waitForAutoAnswer() {
  for (;;) {
    const auto command = takeCommand(kStepTimeout);
    if (!command) fail("the server never switched auto-answer on (ATS0=2)");
    answer(*command);
    if (*command == "ATS0=2") return;
  }
}

// The server answers CONNECT with a lone carriage return, but only at a data event after the
// one that brought it out of its idle state: ring again until it does. Modem text after the
// CONNECT, a repeated RING too, is passed over up to the box frame's lead 00.
void BoxSimulator::ring() {
  if (options_.soak) {
    std::this_thread::sleep_for(kLinePause);  // the modem's last OK makes a data event of its own
    if (plan_.kind == CallKind::Junk) {
      send(lineNoise([](std::string_view noise) {
        return noise.find("CONNECT") == std::string_view::npos &&
               noise.find("NO CARRIER") == std::string_view::npos;
      }));
    }
  }
  send("RING\r\nCONNECT 2400\r\n");
  for (int tries = 0; tries < kMaxTries; ++tries) {
    if (const auto command = takeCommand(kRetryAfter)) {
      if (!command->empty()) fail("expected a lone carriage return after CONNECT, got " + *command);
      return;
    }
    send("RING\r\n");
    ++ringRepeats_;
  }
  fail("no carriage return after CONNECT");
}

// The server takes the connection id from the box's first bytes and writes the handshake at the
// next data event. It is sent without junk: the id is read from the two bytes after the first 00
// that arrives.
void BoxSimulator::handshake() {
  const std::string first = boxFrame(0x40, 0, loginStream(call_));
  constexpr std::size_t kHandshakeBytes = 26;
  if (options_.soak) {
    // The id's bytes first, then the rest; a line end poked in later is consumed with the frame
    // while the server waits to send the handshake, and is junk before the next frame after.
    send(std::string_view(first).substr(0, 3));
    std::this_thread::sleep_for(kLinePause);
    send(std::string_view(first).substr(3));
    waitPoking([this] { return !inbox_.empty(); }, "handshake");
  } else {
    // The first frame goes out again until the handshake comes.
    bool answered = false;
    for (int tries = 0; tries < kMaxTries && !answered; ++tries) {
      send(first);
      answered = waitFor([this] { return !inbox_.empty(); }, kRetryAfter);
    }
    if (!answered) fail("no handshake; the line holds " + hexOf(inbox_));
  }
  if (!waitFor([this] { return inbox_.size() >= kHandshakeBytes; }, kStepTimeout)) {
    fail("no handshake; the line holds " + hexOf(inbox_));
  }
  const auto build = [this](std::uint16_t rcw) {
    std::string frame = header(kServerAddress, 0, 0, rcw, 0x83) + std::string("\x01\x00", 2);
    putBigEndian(frame, connectionId_, 2);
    putBigEndian(frame, 0, 4);
    return frame;
  };
  const std::string expected = sealed(build(expectedRcw(build, 0x0800)));
  const std::string got = inbox_.substr(0, kHandshakeBytes);
  if (got != expected) fail("handshake is " + hexOf(got) + ", expected " + hexOf(expected));
  inbox_.erase(0, kHandshakeBytes);
  expectNothingMore("the handshake");
}

// Lockstep: the server cuts one frame per data event, so each box frame waits for its answer.
// False when a hostile ending cut the call short.
bool BoxSimulator::dialogue() {
  // The first frame into an empty receive buffer, then a new position: acknowledged.
  if (!step(0x40, 0, loginStream(call_), {Reply::Acknowledgement})) return false;
  std::uint32_t boxPosition = 1;
  if (!step(0x80, boxPosition, {}, {Reply::Acknowledgement})) return false;
  // A repeated position ends the box's data; the upload starts.
  if (!step(0x80, boxPosition, {}, {Reply::Data})) return false;

  const int restartAfter = options_.opcode87 ? std::max(1, static_cast<int>(chunks_ / 2)) : 0;
  while (upload_.size() < options_.expected.size()) {
    if (dataFrames_ == restartAfter) {
      if (!step(0x87, boxPosition, {}, {Reply::Data})) return false;
    } else if (!step(0x80, ++boxPosition, {}, {Reply::Data, Reply::Acknowledgement})) {
      return false;
    }
  }
  // Nothing left to send.
  if (!step(0x80, ++boxPosition, {}, {Reply::Acknowledgement})) return false;
  expectNothingMore("the last acknowledgement");
  return true;
}

// One box frame and the server's replies to it. The hostile kinds that strike at a frame do it
// here; false when the call is over.
bool BoxSimulator::step(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload,
                        std::initializer_list<Reply> replies) {
  const bool strikes = plan_.at == boxFramesSent_++;
  if (strikes && plan_.kind == CallKind::PortLost) {
    loseLine();
    return false;
  }
  if (strikes && plan_.kind == CallKind::CutShort) {
    // Any strict prefix lacks the end marker, so the server takes no frame from it.
    const std::string frame = boxFrame(opcode, fbs, payload);
    const std::size_t kept = 1 + static_cast<std::size_t>(plan_.hostile) * 13 % (frame.size() - 1);
    send(frame.substr(0, kept) + std::string(kNoCarrier));
    expectRearmed();
    ending_ = "box frame " + std::to_string(boxFramesSent_) + " cut after " + std::to_string(kept) +
              " of " + std::to_string(frame.size()) + " bytes by NO CARRIER";
    return false;
  }
  const bool hangsUp = strikes && plan_.kind == CallKind::HangUpMidUpload;
  boxSends(opcode, fbs, payload, hangsUp ? kNoCarrier : std::string_view());
  if (opcode == 0x87) sentDigits_ = 0;  // the server counts anew; the chunks go on where they were
  for (const Reply reply : replies) {
    reply == Reply::Data ? expectDataFrame() : expectAcknowledgement();
  }
  if (!hangsUp) return true;
  // The server answers the frame before it finds the NO CARRIER behind it.
  expectRearmed();
  ending_ = "NO CARRIER behind box frame " + std::to_string(boxFramesSent_) + " after " +
            std::to_string(dataFrames_) + " of " + std::to_string(chunks_) + " data frames";
  return false;
}

// A login payload holding 10 03: the server ends the frame there, taking the two bytes before
// the marker for its check. The rest of the frame ends before the next frame's start, so the
// server strips it as junk at one data event and takes the next frame at a later one.
void BoxSimulator::endMarkerInPayload() {
  std::string payload = loginStream(call_);
  const std::size_t marker = static_cast<std::size_t>(plan_.hostile) * 37 % payload.size();
  payload.insert(marker, "\x10\x03");
  const std::string frame = sealed(header(connectionId_, 0, 0, 0, 0x40) + payload);
  const std::size_t cut = frame.find("\x10\x03") + 2;
  const std::string_view rest = std::string_view(frame).substr(cut);
  if (cut != kHeaderBytes + marker + 2 || rest.find(startKey()) != std::string_view::npos ||
      rest.find("NO CARRIER") != std::string_view::npos) {
    fail("internal: the frame with 10 03 at payload byte " + std::to_string(marker) +
         " would not be cut there alone: " + hexOf(frame, 400));
  }
  send(frame);
  payloadTaken_ = marker > 2 ? marker - 2 : 0;
  expectAcknowledgement();
  // A new position: acknowledged once the server has got past the rest.
  send(boxFrame(0x80, 1, {}));
  waitPoking([this] { return inbox_.size() >= kHeaderBytes + kTrailerBytes; },
             "acknowledgement behind the stripped rest");
  expectAcknowledgement();
  expectNothingMore("the acknowledgement");
  hangUp();
  ending_ = "10 03 at login payload byte " + std::to_string(marker) + ", the frame's " +
            std::to_string(frame.size() - cut) + " other bytes stripped as junk, then NO CARRIER";
}

void BoxSimulator::hangUp() {
  send(kNoCarrier);
  expectRearmed();
}

void BoxSimulator::expectRearmed() {
  expectCommand("AT+VCID=1");
  expectCommand("ATS0=2");
}

std::string BoxSimulator::boxFrame(std::uint8_t opcode, std::uint32_t fbs,
                                   std::string_view payload) {
  const std::uint32_t received = positionField(2 * upload_.size());
  const std::string frame =
      sealed(header(connectionId_, fbs, received, 0, opcode) + std::string(payload));
  // The server would cut a frame at the first 10 03 in it.
  if (frame.find("\x10\x03") != frame.size() - 2) {
    fail("internal: box frame " + hexOf(frame) + " holds 10 03 before its end");
  }
  return frame;
}

// `behind` goes out in the same write, right after the frame.
void BoxSimulator::boxSends(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload,
                            std::string_view behind) {
  std::string frame = boxFrame(opcode, fbs, payload);
  payloadTaken_ += payload.size();
  if (options_.junk) {
    static constexpr std::string_view kJunk[] = {"\r\n", "\xFF\xFF\xFF"};
    frame.insert(0, kJunk[junkSent_++ % 2]);
  }
  if (plan_.kind == CallKind::Junk) {
    // Random bytes, either in the frame's own write or in one before it. Either way the server
    // finds the frame's start behind them, and the frame takes them along.
    const std::string noise = lineNoise([&](std::string_view bytes) {
      const std::string line = std::string(bytes) + frame;
      return line.find(startKey()) == bytes.size() && line.find("\x10\x03") == line.size() - 2 &&
             line.find("NO CARRIER") == std::string::npos;
    });
    if (junkSent_++ % 2 == 0) {
      frame.insert(0, noise);
    } else {
      send(noise);
    }
  }
  frame += behind;
  if (!options_.split) {
    send(frame);
    return;
  }
  // Three pieces, with pauses long enough for them to arrive as separate reads on the other side.
  const std::size_t third = frame.size() / 3;
  const std::string_view whole = frame;
  send(whole.substr(0, third));
  std::this_thread::sleep_for(milliseconds(15));
  send(whole.substr(third, third));
  std::this_thread::sleep_for(milliseconds(15));
  send(whole.substr(2 * third));
}

// 1 to 40 bytes from a fixed sequence that `harmless` accepts.
std::string BoxSimulator::lineNoise(const std::function<bool(std::string_view)>& harmless) {
  const auto next = [this] {
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    return noiseState_;
  };
  for (int tries = 0; tries < 100; ++tries) {
    std::string noise(1 + next() % 40, '\0');
    for (char& byte : noise) byte = static_cast<char>(next() >> 24);
    if (harmless(noise)) return noise;
  }
  fail("internal: no harmless line noise found");
}

// The lead byte and the connection id: where the server finds a frame's start.
std::string BoxSimulator::startKey() const {
  std::string key(1, '\0');
  putBigEndian(key, connectionId_, 2);
  return key;
}

void BoxSimulator::expectAcknowledgement() {
  const std::string frame = takeServerFrame("acknowledgement");
  checkField(frame, "OPC", static_cast<unsigned char>(frame[13]), 0xC0);
  checkField(frame, "FBS", bigEndianAt(frame, 3, 4), positionField(sentDigits_));
  checkField(frame, "SBS", bigEndianAt(frame, 7, 4), positionField(2 * payloadTaken_));
  checkField(frame, "RCW", bigEndianAt(frame, 11, 2), 0x0000);
  checkField(frame, "frame length", static_cast<std::uint32_t>(frame.size()),
             kHeaderBytes + kTrailerBytes);
}

void BoxSimulator::expectDataFrame() {
  const std::string frame = takeServerFrame("data frame");
  const std::size_t remaining = options_.expected.size() - upload_.size();
  if (remaining == 0) fail("a data frame after the whole upload: " + hexOf(frame));
  const std::string chunk = options_.expected.substr(upload_.size(), kChunkBytes);
  const std::uint32_t fbs = positionField(sentDigits_);
  const std::uint32_t sbs = positionField(2 * payloadTaken_);
  const auto build = [&](std::uint16_t rcw) {
    return header(kServerAddress, fbs, sbs, rcw, 0x40) + chunk;
  };
  checkField(frame, "OPC", static_cast<unsigned char>(frame[13]), 0x40);
  checkField(frame, "FBS", bigEndianAt(frame, 3, 4), fbs);
  checkField(frame, "SBS", bigEndianAt(frame, 7, 4), sbs);
  checkField(frame, "RCW", bigEndianAt(frame, 11, 2), expectedRcw(build, 0x0400));
  const std::string_view payload =
      std::string_view(frame).substr(kHeaderBytes, frame.size() - kHeaderBytes - kTrailerBytes);
  if (payload != chunk) {
    const auto differ = std::mismatch(payload.begin(), payload.end(), chunk.begin(), chunk.end());
    const std::size_t at = static_cast<std::size_t>(differ.first - payload.begin());
    fail("data frame " + std::to_string(dataFrames_ + 1) + " carries " +
         std::to_string(payload.size()) + " bytes, expected " + std::to_string(chunk.size()) +
         "; first difference at upload byte " + std::to_string(upload_.size() + at));
  }
  upload_ += chunk;
  ++dataFrames_;
  // The server records the first chunk after a (re)start one hex digit short.
  const std::size_t digits = 2 * chunk.size();
  sentDigits_ = sentDigits_ == 0 ? std::min<std::size_t>(digits, 2045) : sentDigits_ + digits;
}

// The server does not escape its payload, so a frame ends at the first 10 03 behind a valid
// check, not at the first 10 03.
std::string BoxSimulator::takeServerFrame(std::string_view what) {
  std::size_t length = 0;
  const auto complete = [&] {
    for (std::size_t end = kHeaderBytes + 2; end + 1 < inbox_.size(); ++end) {
      if (inbox_[end] != '\x10' || inbox_[end + 1] != '\x03') continue;
      const std::string_view covered = std::string_view(inbox_).substr(0, end - 2);
      if (bigEndianAt(inbox_, end - 2, 2) == frameCheck(covered)) {
        length = end + 2;
        return true;
      }
    }
    return false;
  };
  if (!waitFor(complete, kStepTimeout)) {
    fail("no complete " + std::string(what) + " with a valid check; the line holds " +
         hexOf(inbox_));
  }
  std::string frame = inbox_.substr(0, length);
  inbox_.erase(0, length);
  checkField(frame, "lead byte", static_cast<unsigned char>(frame[0]), 0x00);
  checkField(frame, "ADR", bigEndianAt(frame, 1, 2), kServerAddress);
  return frame;
}

void BoxSimulator::checkField(std::string_view frame, std::string_view field, std::uint32_t got,
                              std::uint32_t expected) {
  if (got == expected) return;
  std::ostringstream text;
  text << std::hex << std::uppercase << field << " is " << got << ", expected " << expected
       << " in frame " << hexOf(frame);
  fail(text.str());
}

void BoxSimulator::expectNothingMore(std::string_view after) {
  if (!inbox_.empty()) fail("unexpected bytes after " + std::string(after) + ": " + hexOf(inbox_));
}

// The next modem command the server wrote, without its carriage return.
std::optional<std::string> BoxSimulator::takeCommand(milliseconds within) {
  if (!waitFor([this] { return inbox_.find('\r') != std::string::npos; }, within)) return {};
  const std::size_t end = inbox_.find('\r');
  std::string command = inbox_.substr(0, end);
  inbox_.erase(0, end + 1);
  return command;
}

void BoxSimulator::expectCommand(std::string_view expected) {
  const auto command = takeCommand(kStepTimeout);
  if (!command) fail("no " + std::string(expected) + "; the line holds " + hexOf(inbox_));
  if (*command != expected) {
    fail("expected modem command " + std::string(expected) + ", got " + hexOf(*command));
  }
  answer(*command);
}

void BoxSimulator::answer(std::string_view command) {
  if (command != "AT&F" && command != "ATS0=2" && command != "AT+VCID=1") {
    fail("unexpected modem command " + hexOf(command));
  }
  send("OK\r\n");
}

void BoxSimulator::send(std::string_view bytes) {
  if (pace_.count() == 0) return write(bytes);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::this_thread::sleep_until(lastByteAt_ + pace_);
    write(bytes.substr(i, 1));
    lastByteAt_ = Clock::now();
  }
}

void BoxSimulator::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(master_, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) {
      fail(std::string("write to the line failed: ") + std::strerror(errno));
    }
    pollfd writable{master_, POLLOUT, 0};
    const auto left = std::chrono::duration_cast<milliseconds>(deadline_ - Clock::now());
    if (left.count() <= 0) fail("timed out writing to the line");
    ::poll(&writable, 1, static_cast<int>(left.count()));
  }
}

// Reads what the server writes until `ready` holds; false once `within` has passed.
bool BoxSimulator::waitFor(const std::function<bool()>& ready, milliseconds within) {
  const Clock::time_point until = std::min(Clock::now() + within, deadline_);
  while (!ready()) {
    const auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now());
    if (left.count() <= 0) {
      if (Clock::now() >= deadline_) fail("timed out; the line holds " + hexOf(inbox_));
      return false;
    }
    pollfd readable{master_, POLLIN, 0};
    const int events = ::poll(&readable, 1, static_cast<int>(left.count()) + 1);
    if (events < 0 && errno != EINTR) fail(std::string("poll failed: ") + std::strerror(errno));
    if (events <= 0) continue;
    char buffer[4096];
    const ssize_t got = ::read(master_, buffer, sizeof buffer);
    if (got > 0) {
      inbox_.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
      fail("the line closed; it holds " + hexOf(inbox_));
    }
  }
  return true;
}

// Waits for `ready`, poking a line end in whenever the server stays silent for a while: it acts
// only at a data event, and takes at most one frame at each.
void BoxSimulator::waitPoking(const std::function<bool()>& ready, std::string_view what) {
  for (int pokes = 0; !waitFor(ready, kPokeAfter); ++pokes) {
    if (pokes == kMaxPokes) fail("no " + std::string(what) + "; the line holds " + hexOf(inbox_));
    send(kPoke);
    ++pokes_;
  }
}

void BoxSimulator::fail(const std::string& what) const {
  throw Failure(call_ > 0 ? "call " + std::to_string(call_) + ": " + what : what);
}

constexpr std::string_view kUsage =
    "Usage: box-simulator [options]\n"
    "Creates a pseudo-terminal pair, prints the slave's path, and plays a modem with a game box\n"
    "calling in on the master side, checking every frame the server writes.\n"
    "  --calls N             calls to place one after the other (default 1)\n"
    "  --patch PATH          hex file the upload must match (line breaks ignored)\n"
    "  --expect-override HEX the upload must match this hex text instead\n"
    "  --split               send each box frame in pieces with short pauses\n"
    "  --junk                send stray bytes before each box frame\n"
    "  --opcode87            restart the server's count (opcode 87) halfway through an upload\n"
    "                        of two or more frames\n"
    "  --soak                make every tenth call hostile, in turn: junk on the line, a frame\n"
    "                        cut short by NO CARRIER, 10 03 inside the login payload, NO\n"
    "                        CARRIER behind a frame mid-upload, and now and then the port\n"
    "                        disappearing mid-call (the server must open it again and\n"
    "                        switch auto-answer on); needs --link\n"
    "  --lose-line           the first call's port disappears after its first data frame;\n"
    "                        the next call needs no NO CARRIER first; needs --link\n"
    "  --link PATH           keep a symbolic link at PATH pointing at the slave, also when a\n"
    "                        new line replaces it; print PATH instead of the slave's path\n"
    "  --hold-ms MS          keep the line up this long after the last frame of a whole\n"
    "                        upload before hanging up (default 0)\n"
    "  --pace-us N           write every byte on its own, N microseconds after the one\n"
    "                        before, as a line delivers it (2400 baud: 4167); with --soak,\n"
    "                        calls 5, 25, 45, ... only\n"
    "  --timeout-ms MS       give up after this long (default 20000)\n";

std::optional<Options> parseOptions(int argc, char* argv[]) {
  Options options;
  std::optional<std::string> expectedHex;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw Failure(std::string(flag) + " needs a value");
      return argv[++i];
    };
    if (flag == "--calls") {
      options.calls = std::stoi(value());
    } else if (flag == "--patch") {
      std::ifstream file(value());
      if (!file) throw Failure("cannot read the patch file");
      expectedHex = std::string(std::istreambuf_iterator<char>(file), {});
    } else if (flag == "--expect-override") {
      expectedHex = value();
    } else if (flag == "--split") {
      options.split = true;
    } else if (flag == "--junk") {
      options.junk = true;
    } else if (flag == "--opcode87") {
      options.opcode87 = true;
    } else if (flag == "--soak") {
      options.soak = true;
    } else if (flag == "--lose-line") {
      options.loseLine = true;
    } else if (flag == "--link") {
      options.link = std::filesystem::absolute(value()).string();
    } else if (flag == "--hold-ms") {
      options.hold = milliseconds(std::stoi(value()));
    } else if (flag == "--pace-us") {
      options.pace = microseconds(std::stoi(value()));
    } else if (flag == "--timeout-ms") {
      options.timeout = milliseconds(std::stoi(value()));
    } else if (flag == "--help") {
      std::cout << kUsage;
      return std::nullopt;
    } else {
      throw Failure("unknown option " + std::string(flag));
    }
  }
  if (!expectedHex) throw Failure("give the expected upload with --patch or --expect-override");
  const auto expected = bytesOfHex(*expectedHex);
  if (!expected || expected->empty()) throw Failure("the expected upload is not whole hex bytes");
  if (options.calls < 1) throw Failure("--calls needs at least 1");
  if ((options.soak || options.loseLine) && options.link.empty()) {
    throw Failure("--soak and --lose-line need --link");
  }
  options.expected = *expected;
  return options;
}

}  // namespace

int main(int argc, char* argv[]) {
  try {
    const auto options = parseOptions(argc, argv);
    if (!options) return 0;
    BoxSimulator simulator(*options);
    std::cout << simulator.devicePath() << std::endl;
    simulator.run();
    simulator.printSummary();
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "box-simulator: " << failure.what() << std::endl;
    return 1;
  }
}

// Plays a modem with a game box calling in, on the master side of a pseudo-terminal pair that it
// creates; the server under test opens the slave side. Every frame the server writes is checked
// against values worked out here, apart from the project's own code: the frame check comes from
// Boost.CRC.
//
// Usage: box-simulator [--calls N] [--patch PATH | --expect-override HEX] [--split] [--junk]
//                      [--opcode87] [--timeout-ms MS]
// The first line on standard output is the slave's path. Exit status 0 when every call checked
// out; otherwise one line on standard error says what differed, and the status is 1.

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
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
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
// challenge) and version count.
std::string loginStream() {
  std::string s = "\x1F";
  s += "SNES";
  s += '\x0B';
  putBigEndian(s, 0x00001F40, 4);  // OS free
  putBigEndian(s, 0x00000800, 4);  // DB free
  putBigEndian(s, 0x00000001, 4);  // misc flags
  putBigEndian(s, 0x00000002, 4);  // last box state
  s += zeroPadded("18005551234", 26);
  putBigEndian(s, 0x00000001, 4);       // region
  putBigEndian(s, 0x00BEEF01, 4);       // serial
  s += std::string("\x00\x03\x05", 3);  // user slot, colour, icon
  s += zeroPadded("SPRINGFIELD", 34);
  s += zeroPadded("KORVANDEL", 34);
  s += '\x0C';
  putBigEndian(s, 0x53463232, 4);  // game id
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
  milliseconds timeout{20000};
};

class BoxSimulator {
 public:
  BoxSimulator(const Options& options, int master)
      : options_(options), master_(master), deadline_(Clock::now() + options.timeout) {}

  void run();

 private:
  void waitForAutoAnswer();
  void ring();
  void handshake();
  void dialogue();
  void hangUp();

  std::string boxFrame(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload);
  void boxSends(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload = {});
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
  bool waitFor(const std::function<bool()>& ready, milliseconds within);
  [[noreturn]] void fail(const std::string& what) const;

  const Options& options_;
  const int master_;
  const Clock::time_point deadline_;
  std::string inbox_;  // what the server wrote, not yet checked
  int call_ = 0;
  std::uint16_t connectionId_ = 0;
  int junkSent_ = 0;
  // The server's side of one call as the box expects it.
  std::size_t payloadTaken_ = 0;  // bytes of payload the server took from the box's frames
  std::size_t sentDigits_ = 0;    // hex digits of upload the server counts as sent
  std::string upload_;            // upload bytes received
  int dataFrames_ = 0;
};

void BoxSimulator::run() {
  waitForAutoAnswer();
  for (call_ = 1; call_ <= options_.calls; ++call_) {
    connectionId_ = kConnectionIds[(call_ - 1) % std::size(kConnectionIds)];
    payloadTaken_ = 0;
    sentDigits_ = 0;
    upload_.clear();
    dataFrames_ = 0;
    ring();
    handshake();
    dialogue();
    hangUp();
    char id[5];
    std::snprintf(id, sizeof id, "%04X", connectionId_);
    std::cout << "call " << call_ << ": connection id " << id << ", " << dataFrames_
              << " data frames, " << upload_.size() << " bytes uploaded, every frame checked"
              << std::endl;
  }
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
// one that brought it out of its idle state: ring again until it does.
void BoxSimulator::ring() {
  send("RING\r\nCONNECT 2400\r\n");
  for (int tries = 0; tries < kMaxTries; ++tries) {
    if (const auto command = takeCommand(kRetryAfter)) {
      if (!command->empty()) fail("expected a lone carriage return after CONNECT, got " + *command);
      return;
    }
    send("RING\r\n");
  }
  fail("no carriage return after CONNECT");
}

// The server takes the connection id from the box's first bytes and writes the handshake at the
// next data event, so the first frame goes out again until the handshake comes. It is sent whole
// and without junk: the id is read from the second and third bytes that arrive.
void BoxSimulator::handshake() {
  const std::string first = boxFrame(0x40, 0, loginStream());
  constexpr std::size_t kHandshakeBytes = 26;
  bool answered = false;
  for (int tries = 0; tries < kMaxTries && !answered; ++tries) {
    send(first);
    answered = waitFor([this] { return !inbox_.empty(); }, kRetryAfter);
  }
  if (!answered || !waitFor([this] { return inbox_.size() >= kHandshakeBytes; }, kStepTimeout)) {
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
void BoxSimulator::dialogue() {
  boxSends(0x40, 0, loginStream());
  expectAcknowledgement();  // the first frame into an empty receive buffer
  std::uint32_t boxPosition = 1;
  boxSends(0x80, boxPosition);
  expectAcknowledgement();  // a new position
  boxSends(0x80, boxPosition);
  expectDataFrame();  // a repeated position ends the box's data; the upload starts

  const std::size_t chunks = (options_.expected.size() + kChunkBytes - 1) / kChunkBytes;
  const int restartAfter = options_.opcode87 ? std::max(1, static_cast<int>(chunks / 2)) : 0;
  while (upload_.size() < options_.expected.size()) {
    if (dataFrames_ == restartAfter) {
      boxSends(0x87, boxPosition);
      sentDigits_ = 0;  // the server counts anew; the chunks go on where they were
      expectDataFrame();
    } else {
      boxSends(0x80, ++boxPosition);
      expectDataFrame();
      expectAcknowledgement();
    }
  }
  boxSends(0x80, ++boxPosition);
  expectAcknowledgement();  // nothing left to send
  expectNothingMore("the last acknowledgement");
}

void BoxSimulator::hangUp() {
  send("NO CARRIER\r\n");
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

void BoxSimulator::boxSends(std::uint8_t opcode, std::uint32_t fbs, std::string_view payload) {
  std::string frame = boxFrame(opcode, fbs, payload);
  payloadTaken_ += payload.size();
  if (options_.junk) {
    static constexpr std::string_view kJunk[] = {"\r\n", "\xFF\xFF\xFF"};
    frame.insert(0, kJunk[junkSent_++ % 2]);
  }
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
  options.expected = *expected;
  return options;
}

}  // namespace

int main(int argc, char* argv[]) {
  try {
    const auto options = parseOptions(argc, argv);
    if (!options) return 0;

    termios raw{};
    ::cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0) {
      throw Failure(std::string("openpty failed: ") + std::strerror(errno));
    }
    // The slave stays open here too, so the master never reads a hang-up while the server
    // opens or closes its end.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::cout << ::ptsname(master) << std::endl;

    BoxSimulator(*options, master).run();
    std::cout << "box-simulator: " << options->calls << " calls checked out" << std::endl;
    ::close(master);
    ::close(slave);
    return 0;
  } catch (const std::exception& failure) {
    std::cerr << "box-simulator: " << failure.what() << std::endl;
    return 1;
  }
}

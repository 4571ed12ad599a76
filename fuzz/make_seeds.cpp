// Writes the seed corpora of the fuzz targets: make_seeds <corpus folder>. The files are kept in
// the repository; run this again after the box's call or the script layout changes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/box_call.h"
#include "connection/headless_engine.h"
#include "connection/memory_serial.h"
#include "fuzz/engine_script.h"

namespace {

namespace fs = std::filesystem;
using Script = EngineScript;

void writeSeed(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

// The events of the call that remain once the engine has been walked to `start`.
std::vector<std::string> restOfCall(const BoxCall& call, Script::Start start) {
  MemorySerial serial;
  const MemoryPortList ports;
  HeadlessEngine engine(serial, ports);
  std::size_t played = 0;
  while (played < call.events.size() && !Script::reached(engine, start)) {
    serial.receive(call.events[played++]);
  }
  return {call.events.begin() + static_cast<std::ptrdiff_t>(played), call.events.end()};
}

std::string events(const std::vector<std::string>& list) {
  std::string script;
  for (const std::string& event : list) script += Script::dataEvent(event);
  return script;
}

void engineSeeds(const fs::path& folder) {
  const BoxCall call;
  const char* const startNames[] = {"fresh",     "wait-connect", "wait-con-id",
                                    "handshake", "online",       "upload"};
  for (int s = 0; s < Script::kStarts; ++s) {
    const auto start = static_cast<Script::Start>(s);
    writeSeed(folder, std::string("call-from-") + startNames[s],
              Script::header(start, 0) + events(restOfCall(call, start)));
  }
  for (int o = 1; o < Script::kOverrides; ++o) {
    writeSeed(folder, "call-with-override-" + std::to_string(o),
              Script::header(Script::Fresh, static_cast<std::uint8_t>(o)) + events(call.events));
  }

  const std::string ack = BoxCall::frame(0, 0, 0xC0);
  const std::string login = BoxCall::loginStream();
  const std::string dataFrame = BoxCall::frame(0x4C, 0, 0x40, login.substr(75));
  const std::string online = Script::header(Script::InOnline, 0);

  writeSeed(folder, "operator-actions",
            Script::header(Script::InWaitConnect, 0) + Script::operatorAction(Script::ChoosePort) +
                Script::operatorAction(Script::TickAutoAnswer) +
                Script::operatorAction(Script::ForceReply) +
                events(restOfCall(call, Script::InWaitConnect)) +
                Script::operatorAction(Script::UntickAutoAnswer) +
                Script::operatorAction(Script::ForcePatch) +
                Script::operatorAction(Script::BusyTimer) +
                Script::operatorAction(Script::PortLost));
  writeSeed(folder, "force-patch-then-ack",
            online + Script::operatorAction(Script::ForcePatch) + Script::dataEvent(ack) +
                Script::dataEvent(BoxCall::frame(1, 0, 0x80)) +
                Script::dataEvent(BoxCall::frame(2, 0, 0x87)));
  writeSeed(folder, "junk-before-frame",
            online + Script::dataEvent("\r\n" + dataFrame.substr(20) + ack + ack.substr(0, 5)) +
                Script::dataEvent(ack.substr(5)));
  writeSeed(folder, "opcode-82", online + Script::dataEvent(BoxCall::frame(0, 0, 0x82, "\x01")));
  writeSeed(folder, "two-frames-one-event", online + Script::dataEvent(ack + dataFrame));
  std::string byteByByte = online;
  for (char byte : dataFrame) byteByByte += Script::dataEvent(std::string(1, byte));
  writeSeed(folder, "frame-byte-by-byte", byteByByte);
  std::string endMarkerInside = dataFrame;
  endMarkerInside.insert(20, "\x10\x03");
  writeSeed(folder, "end-marker-in-payload",
            online + Script::dataEvent(endMarkerInside) + Script::dataEvent(ack));
  writeSeed(folder, "no-carrier-in-payload",
            online + Script::dataEvent(BoxCall::frame(0, 0, 0x40, "NO CARRIER")));
  writeSeed(folder, "short-handshake-check",
            Script::header(Script::InWaitConId, 0) +
                Script::dataEvent(std::string("\x00\x00\x03", 3)) + Script::dataEvent("\r\n"));
  writeSeed(folder, "restart-mid-upload",
            Script::header(Script::InUpload, 0) + Script::dataEvent(BoxCall::frame(0x99, 0, 0x80)) +
                Script::dataEvent(BoxCall::frame(0x9A, 0, 0x87)) +
                Script::dataEvent(BoxCall::frame(0x9B, 0, 0x80)) +
                Script::dataEvent(BoxCall::frame(0x9B, 0, 0x88)));
}

void loginSeeds(const fs::path& folder) {
  using namespace std::string_literals;
  const std::string login = BoxCall::loginStream();
  // The login message alone: from its code up to the game message that follows it.
  const std::string loginMessage = login.substr(5, 122);
  writeSeed(folder, "six-messages", login);
  writeSeed(folder, "system-and-connect-type", "\x1F"s + "ABCD" + "\x0E\x03");
  writeSeed(folder, "skip-before-game", loginMessage + "\x01\x02\x03"s + login.substr(127));
  writeSeed(folder, "game-code-inside-skip", loginMessage + "\x01\x0C\x03\x00\x00\x00\x00"s);
  writeSeed(folder, "cut-short", login.substr(0, 60));
  writeSeed(folder, "connect-type-05", "\x0E\x05\x1F"s + "ABCD");
  writeSeed(folder, "eight-messages", std::string(8, '\x1F') + std::string(40, 'A'));
  writeSeed(folder, "unknown-code", "\x99\x1F"s + "ABCD");
  writeSeed(folder, "control-and-latin1", "\x1F\x00\x7F\x80\xFF"s);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const fs::path root = argv[1];
  engineSeeds(root / "engine_fuzzer");
  loginSeeds(root / "login_fuzzer");
  return 0;
}

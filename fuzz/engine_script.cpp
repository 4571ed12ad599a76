#include "fuzz/engine_script.h"

EngineScript::EngineScript(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (input.size() < 2) return;
  start = static_cast<Start>(static_cast<std::uint8_t>(input[0]) % kStarts);
  settings = static_cast<std::uint8_t>(input[1]);
  std::size_t at = 2;
  while (at < input.size()) {
    const auto step = static_cast<std::uint8_t>(input[at++]);
    if (step >= PortLost) {
      steps.push_back({static_cast<Action>(step), {}});
      continue;
    }
    const std::string_view bytes = input.substr(at, std::size_t{step} + 1);
    at += bytes.size();
    steps.push_back({DataEvent, bytes});
  }
}

bool EngineScript::reached(const ConnectionRecord& record, Start start) {
  switch (start) {
    case Fresh:
      return true;
    case InWaitConnect:
      return record.state == WaitConnect;
    case InWaitConId:
      return record.state == WaitConId;
    case InHandshake:
      return record.state == Handshake;
    case InOnline:
      return record.state == Online;
    case InUpload:
      return record.SendingData;
  }
  return false;
}

std::string EngineScript::header(Start start, std::uint8_t settings) {
  return {static_cast<char>(start), static_cast<char>(settings)};
}

std::string EngineScript::dataEvent(std::string_view bytes) {
  std::string script;
  while (!bytes.empty()) {
    const std::string_view piece = bytes.substr(0, kLongestEvent);
    script.push_back(static_cast<char>(piece.size() - 1));
    script.append(piece);
    bytes.remove_prefix(piece.size());
  }
  return script;
}

std::string EngineScript::operatorAction(Action action) {
  return std::string(1, static_cast<char>(action));
}

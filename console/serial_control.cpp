#include "console/serial_control.h"

SerialControl::SerialControl(QObject* parent) : QtSerial(parent) {
  Serial::DataAvailable = [this] { DataAvailable.raise(*this); };
  Serial::PortLost = [this](const std::string& reason) { PortLost.raise(*this, reason); };
}

SerialControl::~SerialControl() {
  Serial::DataAvailable = nullptr;
  Serial::PortLost = nullptr;
}

bool SerialControl::applyProperty(const Property& property) {
  LineSettings settings = lineSettings();
  const std::string& name = property.name;
  if (name == "DTR") {
    settings.dtr = property.asBoolean();
  } else if (name == "CTS") {
    settings.cts = property.asBoolean();
  } else if (name == "XON") {
    settings.xon = property.asBoolean();
  } else if (name == "Stop") {
    settings.stop = property.asInt32();
  } else if (name == "Parity") {
    settings.parity = property.asInt32();
  } else if (name == "Bits") {
    settings.bits = property.asInt32();
  } else if (name == "Baud") {
    settings.baud = property.asInt32();
  } else {
    return Control::applyProperty(property);
  }
  setLineSettings(settings);
  return true;
}

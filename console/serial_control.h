#pragma once

#include <string>

#include "connection/qt_serial.h"
#include "console/control.h"
#include "console/event.h"

// The window's serial port control: the engine's port on Qt with the line settings of its
// property list. Its events replace the port's single callbacks, so that handlers join them
// like any other control's.
class SerialControl : public QtSerial, public Control {
 public:
  explicit SerialControl(QObject* parent);
  ~SerialControl() override;

  bool applyProperty(const Property& property) override;

  Event<SerialControl> DataAvailable;
  Event<SerialControl, const std::string&> PortLost;
};

#include "connection/qt_serial_port_list.h"

#include <QSerialPortInfo>

namespace {

// An index past the end gives an empty text: the list may shrink between two calls.
QSerialPortInfo portAt(int i) {
  const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
  return i >= 0 && i < ports.size() ? ports.at(i) : QSerialPortInfo();
}

}  // namespace

int QtSerialPortList::SerialPortCount() const {
  return static_cast<int>(QSerialPortInfo::availablePorts().size());
}

std::string QtSerialPortList::SerialPortName(int i) const {
  return portAt(i).portName().toStdString();
}

std::string QtSerialPortList::SerialPortLocation(int i) const {
  return portAt(i).systemLocation().toStdString();
}

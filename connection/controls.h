#pragma once

#include <string>
#include <string_view>

// The few controls of the main window that the engine reads or writes. Text is UTF-8; the log
// keeps the carriage returns it is given.
class TextControl {
 public:
  virtual ~TextControl() = default;
  virtual std::string Text() const = 0;
  // Replaces the whole text.
  virtual void SetText(std::string_view text) = 0;
  // Adds text at the end; a control may do this without rebuilding what it already shows.
  virtual void AppendText(std::string_view text) { SetText(Text().append(text)); }
};

class CheckControl {
 public:
  virtual ~CheckControl() = default;
  // 1 when ticked.
  virtual int State() const = 0;
};

class ChooserControl {
 public:
  virtual ~ChooserControl() = default;
  // The chosen row, from 0; -1 when the operator typed a text instead of choosing a row.
  virtual int ListIndex() const = 0;
  virtual std::string Text() const = 0;
  // Appends a row at the end of the list.
  virtual void AddRow(const std::string& text) = 0;
};

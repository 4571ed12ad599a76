#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console/check_box.h"
#include "console/framework.h"
#include "console/property_list.h"
#include "console/serial_control.h"
#include "console/text_area.h"
#include "console/timer.h"
#include "console/unsupported_format_exception.h"

namespace {

using namespace std::string_literals;

// One entry of every value type, with its byte form worked out by hand.
const std::pair<Property, std::string> kEncodings[] = {
    {{"Visible", true}, "Visible \x01"s},
    {{"Bold", false}, "Bold \x00"s},
    {{"TextUnit", FontUnit{0}}, "TextUnit \x00"s},
    {{"Width", std::int32_t{968}}, "Width \xC8\x03\x00\x00"s},
    {{"Left", std::int32_t{-2}}, "Left \xFE\xFF\xFF\xFF"s},
    {{"TextColor", Colour{0x0000FFFF}}, "TextColor \xFF\xFF\x00\x00"s},
    {{"BackColor", Colour{0x00FF8000}}, "BackColor \x00\x80\xFF\x00"s},
    {{"TextSize", 12.0f}, "TextSize \x00\x00\x40\x41"s},
    {{"LineSpacing", 1.0}, "LineSpacing \x00\x00\x00\x00\x00\x00\xF0\x3F"s},
    {{"Title", "Korvandel"s}, "Title \x09\x00\x00\x00Korvandel"s},
    {{"HelpTag", ""s}, "HelpTag \x00\x00\x00\x00"s},
    {{"InitialParent", InitialParent{}}, "InitialParent \x00\x00\x00\x00"s},
};

TEST(PropertyListTest, EachTypeHasItsByteFormAWholeListRoundTripsAndMalformedBytesAreRefused) {
  PropertyList list;
  std::string bytes;
  for (const auto& [property, form] : kEncodings) {
    list.add(property);
    bytes += form;
  }
  EXPECT_EQ(list.encode(), bytes);
  EXPECT_EQ(PropertyList::decode(bytes).entries(), list.entries());
  const std::string malformed[] = {
      "Wobble \x01"s,                     // no such property
      "Width \xC8\x03\x00"s,              // Int32 cut short
      "Title \x09\x00\x00\x00Korvande"s,  // String shorter than its length
      "Visible"s,                         // no blank, no value
      "Visible \x01Bo"s,                  // a second entry cut off in its name
  };
  for (const std::string& cut : malformed) {
    EXPECT_THROW(PropertyList::decode(cut), UnsupportedFormatException) << cut;
  }
}

// Places, colours and Visible are seen on the main window's controls.
TEST(SetPropertiesTest, SettingsReachTheWidgetOrTheLineAndUnknownOnesAreRefused) {
  QWidget parent;
  TextArea area(&parent);
  PropertyList settings;
  settings.string("Text", "first\rsecond").boolean("ReadOnly", true).single("TextSize", 14.0f);
  settings.boolean("Bold", true).string("HelpTag", "the log").string("Name", "txtLogger");
  Framework::_SetProperties(area, settings.encode());
  EXPECT_EQ(std::tuple(area.Text(), area.isReadOnly(), area.font().pointSizeF(), area.font().bold(),
                       area.toolTip().toStdString(), area.Name(), area.objectName().toStdString()),
            std::tuple("first\rsecond"s, true, 14.0, true, "the log"s, "txtLogger"s, "txtLogger"s));

  SerialControl port(nullptr);
  PropertyList line;
  line.boolean("DTR", false).boolean("CTS", true).boolean("XON", true);
  line.int32("Stop", 2).int32("Parity", 1).int32("Bits", 0).int32("Baud", 8);
  Framework::_SetProperties(port, line.encode());
  const QtSerial::LineSettings& set = port.lineSettings();
  EXPECT_EQ(std::vector<int>({set.dtr, set.cts, set.xon, set.stop, set.parity, set.bits, set.baud}),
            std::vector<int>({0, 1, 1, 2, 1, 0, 8}));

  CheckBox box(&parent);
  Timer timer(nullptr);
  EXPECT_THROW(Framework::_SetProperties(area, PropertyList().string("Caption", "x").encode()),
               UnsupportedFormatException);
  EXPECT_THROW(Framework::_SetProperties(box, PropertyList().int32("Period", 5).encode()),
               UnsupportedFormatException);
  EXPECT_THROW(Framework::_SetProperties(timer, PropertyList().int32("Left", 5).encode()),
               UnsupportedFormatException);
}

TEST(ToolkitTest, TimerModesOffOnceAndRepeating) {
  Timer timers[3] = {Timer(nullptr), Timer(nullptr), Timer(nullptr)};
  int ticks[3] = {};
  for (int mode = 0; mode < 3; ++mode) {
    timers[mode].Action.addHandler([&ticks, mode](Timer&) { ++ticks[mode]; });
    timers[mode].SetPeriod(20);
    timers[mode].SetMode(mode);
  }
  // Five periods of the repeating timer are the measure of time here.
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks[2] >= 5; }));
  EXPECT_EQ(ticks[1], 1);
  EXPECT_EQ(timers[1].Mode(), 0);
  EXPECT_EQ(ticks[0], 0);
}

}  // namespace

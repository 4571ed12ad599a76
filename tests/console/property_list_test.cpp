#include "console/property_list.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <string>
#include <vector>

#include "console/check_box.h"
#include "console/framework.h"
#include "console/serial_control.h"
#include "console/text_area.h"
#include "console/timer.h"
#include "console/unsupported_format_exception.h"

namespace {

using namespace std::string_literals;

struct EncodingCase {
  Property property;
  std::string bytes;
};

// One entry of every value type, with its byte form worked out by hand.
const EncodingCase kEncodings[] = {
    {{"Visible", true}, "Visible \x01"s},
    {{"Bold", false}, "Bold \x00"s},
    {{"TextUnit", FontUnit{0}}, "TextUnit \x00"s},
    {{"Width", std::int32_t{968}}, "Width \xC8\x03\x00\x00"s},
    {{"Index", std::int32_t{INT32_MIN}}, "Index \x00\x00\x00\x80"s},
    {{"Left", std::int32_t{-2}}, "Left \xFE\xFF\xFF\xFF"s},
    {{"TextColor", Colour{0x0000FFFF}}, "TextColor \xFF\xFF\x00\x00"s},
    {{"BackColor", Colour{0x00FF8000}}, "BackColor \x00\x80\xFF\x00"s},
    {{"TextSize", 12.0f}, "TextSize \x00\x00\x40\x41"s},
    {{"LineSpacing", 1.0}, "LineSpacing \x00\x00\x00\x00\x00\x00\xF0\x3F"s},
    {{"LineHeight", 0.0}, "LineHeight \x00\x00\x00\x00\x00\x00\x00\x00"s},
    {{"Title", "Korvandel"s}, "Title \x09\x00\x00\x00Korvandel"s},
    {{"HelpTag", ""s}, "HelpTag \x00\x00\x00\x00"s},
    {{"InitialParent", InitialParent{}}, "InitialParent \x00\x00\x00\x00"s},
};

TEST(PropertyListTest, EachTypeHasItsByteFormAndAWholeListRoundTripsInOrder) {
  PropertyList list;
  std::string all;
  for (const EncodingCase& c : kEncodings) {
    SCOPED_TRACE(c.property.name);
    EXPECT_EQ(PropertyList().add(c.property).encode(), c.bytes);
    const PropertyList decoded = PropertyList::decode(c.bytes);
    ASSERT_EQ(decoded.entries().size(), 1u);
    EXPECT_EQ(decoded.entries()[0], c.property);
    list.add(c.property);
    all += c.bytes;
  }
  ASSERT_EQ(list.encode(), all);
  EXPECT_EQ(PropertyList::decode(all).entries(), list.entries());
  EXPECT_TRUE(PropertyList::decode("").entries().empty());
}

TEST(PropertyListTest, MalformedBytesAreRefused) {
  const std::string cases[] = {
      "Wobble \x01"s,                     // no such property
      "Width \xC8\x03\x00"s,              // Int32 cut short
      "Title \x09\x00\x00\x00Korvande"s,  // String shorter than its length
      "Visible"s,                         // no blank, no value
      " \x01"s,                           // no name
      "Visible \x01Bo"s,                  // a second entry cut off in its name
  };
  for (const std::string& bytes : cases) {
    EXPECT_THROW(PropertyList::decode(bytes), UnsupportedFormatException) << bytes;
  }
}

// Places, colours and Visible are seen on the main window's controls.
TEST(SetPropertiesTest, TextReadOnlyFontTipAndNameReachTheWidget) {
  QWidget parent;
  TextArea area(&parent);
  Framework::_SetProperties(area, PropertyList()
                                      .string("Text", "first\rsecond")
                                      .boolean("ReadOnly", true)
                                      .single("TextSize", 14.0f)
                                      .boolean("Bold", true)
                                      .string("HelpTag", "the log")
                                      .string("Name", "txtLogger")
                                      .encode());
  EXPECT_EQ(area.Text(), "first\rsecond");
  EXPECT_TRUE(area.isReadOnly());
  EXPECT_DOUBLE_EQ(area.font().pointSizeF(), 14.0);
  EXPECT_TRUE(area.font().bold());
  EXPECT_EQ(area.toolTip(), "the log");
  EXPECT_EQ(area.Name(), "txtLogger");
  EXPECT_EQ(area.objectName(), "txtLogger");
}

TEST(SetPropertiesTest, APropertyTheTargetLacksIsRefused) {
  QWidget parent;
  TextArea area(&parent);
  CheckBox box(&parent);
  Timer timer(nullptr);
  EXPECT_THROW(Framework::_SetProperties(area, PropertyList().string("Caption", "x").encode()),
               UnsupportedFormatException);
  EXPECT_THROW(Framework::_SetProperties(box, PropertyList().int32("Period", 5).encode()),
               UnsupportedFormatException);
  EXPECT_THROW(Framework::_SetProperties(timer, PropertyList().int32("Left", 5).encode()),
               UnsupportedFormatException);
}

TEST(SetPropertiesTest, SerialLineSettingsFollowTheirCodes) {
  SerialControl port(nullptr);
  Framework::_SetProperties(port, PropertyList()
                                      .boolean("DTR", false)
                                      .boolean("CTS", true)
                                      .boolean("XON", true)
                                      .int32("Stop", 2)
                                      .int32("Parity", 1)
                                      .int32("Bits", 0)
                                      .int32("Baud", 8)
                                      .encode());
  const QtSerial::LineSettings& line = port.lineSettings();
  EXPECT_EQ(std::vector<int>(
                {line.dtr, line.cts, line.xon, line.stop, line.parity, line.bits, line.baud}),
            std::vector<int>({0, 1, 1, 2, 1, 0, 8}));
}

}  // namespace

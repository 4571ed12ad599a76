#include "console/property_list.h"

#include <gtest/gtest.h>

#include <QWidget>
#include <string>

#include "console/check_box.h"
#include "console/framework.h"
#include "console/serial_control.h"
#include "console/text_area.h"
#include "console/timer.h"
#include "console/unsupported_format_exception.h"
#include "console_test_support.h"

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
    {{"Title", "Korvandel"s}, "Title \x09\x00\x00\x00Korvandel"s},
    {{"HelpTag", ""s}, "HelpTag \x00\x00\x00\x00"s},
    {{"InitialParent", InitialParent{}}, "InitialParent \x00\x00\x00\x00"s},
};

TEST(PropertyListTest, EachTypeHasItsByteForm) {
  for (const EncodingCase& c : kEncodings) {
    const std::string bytes = PropertyList().add(c.property).encode();
    EXPECT_EQ(bytes, c.bytes) << c.property.name;
    const PropertyList decoded = PropertyList::decode(c.bytes);
    ASSERT_EQ(decoded.entries().size(), 1u) << c.property.name;
    EXPECT_EQ(decoded.entries()[0], c.property) << c.property.name;
  }
}

TEST(PropertyListTest, AWholeListRoundTripsInOrder) {
  PropertyList list;
  std::string expected;
  for (const EncodingCase& c : kEncodings) {
    list.add(c.property);
    expected += c.bytes;
  }
  ASSERT_EQ(list.encode(), expected);
  EXPECT_EQ(PropertyList::decode(expected).entries(), list.entries());
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

TEST(PropertyListTest, TypesOfKnownNames) {
  PropertyType type{};
  ASSERT_TRUE(PropertyList::knownProperty("TextSize", &type));
  EXPECT_EQ(type, PropertyType::Single);
  ASSERT_TRUE(PropertyList::knownProperty("LineHeight", &type));
  EXPECT_EQ(type, PropertyType::Double);
  ASSERT_TRUE(PropertyList::knownProperty("BackColor", &type));
  EXPECT_EQ(type, PropertyType::Colour);
  EXPECT_FALSE(PropertyList::knownProperty("Colour"));
}

class SetPropertiesTest : public WindowTest {};

TEST_F(SetPropertiesTest, EveryValueTypeReachesTheWidget) {
  QWidget parent;
  TextArea area(&parent);
  const std::string list = PropertyList()
                               .string("Text", "first\rsecond")
                               .boolean("ReadOnly", true)
                               .fontUnit("TextUnit", 0)
                               .single("TextSize", 14.0f)
                               .boolean("Bold", true)
                               .string("TextFont", "System")
                               .real("LineSpacing", 1.0)
                               .colour("TextColor", 0x0000FF00)
                               .colour("BackColor", 0x00102030)
                               .string("HelpTag", "the log")
                               .initialParent("InitialParent")
                               .int32("Left", 429)
                               .int32("Top", 44)
                               .int32("Width", 337)
                               .int32("Height", 349)
                               .boolean("Visible", false)
                               .string("Name", "txtLogger")
                               .encode();
  Framework::_SetProperties(area, list);

  EXPECT_EQ(area.Text(), "first\rsecond");
  EXPECT_EQ(area.blockCount(), 2);
  EXPECT_TRUE(area.isReadOnly());
  EXPECT_DOUBLE_EQ(area.font().pointSizeF(), 14.0);
  EXPECT_TRUE(area.font().bold());
  EXPECT_EQ(area.palette().color(QPalette::Text), QColor(0, 255, 0));
  EXPECT_EQ(area.palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
  EXPECT_EQ(area.toolTip(), "the log");
  EXPECT_EQ(area.geometry(), QRect(429, 44, 337, 349));
  EXPECT_TRUE(area.isHidden());
  EXPECT_EQ(area.Name(), "txtLogger");
  EXPECT_EQ(area.objectName(), "txtLogger");
}

TEST_F(SetPropertiesTest, APropertyTheTargetLacksIsRefused) {
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

TEST_F(SetPropertiesTest, SerialLineSettingsFollowTheirCodes) {
  SerialControl port(nullptr);
  Framework::_SetProperties(port, PropertyList()
                                      .boolean("DTR", false)
                                      .boolean("CTS", true)
                                      .boolean("XON", true)
                                      .int32("Stop", 2)
                                      .int32("Parity", 1)
                                      .int32("Bits", 2)
                                      .int32("Baud", 8)
                                      .encode());
  const QtSerial::LineSettings& settings = port.lineSettings();
  EXPECT_FALSE(settings.dtr);
  EXPECT_TRUE(settings.cts);
  EXPECT_TRUE(settings.xon);
  EXPECT_EQ(settings.stop, 2);
  EXPECT_EQ(settings.parity, 1);
  EXPECT_EQ(settings.bits, 2);
  EXPECT_EQ(settings.baud, 8);
}

}  // namespace

#include "console/property_list.h"

#include <bit>
#include <map>
#include <utility>

#include "console/unsupported_format_exception.h"

namespace {

const std::map<std::string_view, PropertyType>& propertyTypes() {
  using enum PropertyType;
  static const std::map<std::string_view, PropertyType> types = {
      // Boolean
      {"AcceptTabs", Boolean},
      {"AutoComplete", Boolean},
      {"AutoDeactivate", Boolean},
      {"AutomaticallyCheckSpelling", Boolean},
      {"Bold", Boolean},
      {"Border", Boolean},
      {"CTS", Boolean},
      {"Cancel", Boolean},
      {"CloseButton", Boolean},
      {"Composite", Boolean},
      {"DTR", Boolean},
      {"Default", Boolean},
      {"Enabled", Boolean},
      {"FullScreen", Boolean},
      {"FullScreenButton", Boolean},
      {"HasBackColor", Boolean},
      {"HideSelection", Boolean},
      {"Italic", Boolean},
      {"LiveResize", Boolean},
      {"LockBottom", Boolean},
      {"LockLeft", Boolean},
      {"LockRight", Boolean},
      {"LockTop", Boolean},
      {"MaximizeButton", Boolean},
      {"MenuBarVisible", Boolean},
      {"MinimizeButton", Boolean},
      {"Multiline", Boolean},
      {"ReadOnly", Boolean},
      {"Resizeable", Boolean},
      {"ScrollbarHorizontal", Boolean},
      {"ScrollbarVertical", Boolean},
      {"Selectable", Boolean},
      {"Styled", Boolean},
      {"TabStop", Boolean},
      {"Transparent", Boolean},
      {"Underline", Boolean},
      {"UseFocusRing", Boolean},
      {"Value", Boolean},
      {"Visible", Boolean},
      {"XON", Boolean},
      {"TextUnit", FontUnit},
      // Int32
      {"Alignment", Int32},
      {"Baud", Int32},
      {"Bits", Int32},
      {"ButtonStyle", Int32},
      {"Frame", Int32},
      {"Height", Int32},
      {"Index", Int32},
      {"Left", Int32},
      {"LimitText", Int32},
      {"ListIndex", Int32},
      {"MacProcID", Int32},
      {"MaxHeight", Int32},
      {"MaxWidth", Int32},
      {"MinHeight", Int32},
      {"MinWidth", Int32},
      {"Mode", Int32},
      {"Parity", Int32},
      {"Period", Int32},
      {"Placement", Int32},
      {"State", Int32},
      {"Stop", Int32},
      {"TabIndex", Int32},
      {"TabPanelIndex", Int32},
      {"TextAlign", Int32},
      {"Top", Int32},
      {"Width", Int32},
      {"BackColor", Colour},
      {"TextColor", Colour},
      {"TextSize", Single},
      {"LineHeight", Double},
      {"LineSpacing", Double},
      // String
      {"Caption", String},
      {"DataField", String},
      {"DataSource", String},
      {"Format", String},
      {"HelpTag", String},
      {"InitialValue", String},
      {"Mask", String},
      {"Name", String},
      {"Text", String},
      {"TextFont", String},
      {"Title", String},
      {"InitialParent", InitialParent},
  };
  return types;
}

void putLittleEndian(std::string& out, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads the byte form from the front, failing on anything cut short.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool atEnd() const { return position_ == bytes_.size(); }

  std::string name() {
    const std::size_t blank = bytes_.find(' ', position_);
    if (blank == std::string_view::npos) fail("an entry without a blank after its name");
    std::string text(bytes_.substr(position_, blank - position_));
    if (text.empty()) fail("an entry without a name");
    for (char c : text) {
      if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) fail("a name with '" + text + "'");
    }
    position_ = blank + 1;
    return text;
  }

  std::uint64_t littleEndian(int width) {
    const std::string_view raw = take(static_cast<std::size_t>(width));
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
      value = (value << 8) | static_cast<unsigned char>(raw[static_cast<std::size_t>(i)]);
    }
    return value;
  }

  std::string_view take(std::size_t count) {
    if (bytes_.size() - position_ < count)
      fail("a value cut short at byte " + std::to_string(position_));
    const std::string_view part = bytes_.substr(position_, count);
    position_ += count;
    return part;
  }

  [[noreturn]] static void fail(const std::string& what) {
    throw UnsupportedFormatException("property list: " + what);
  }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

}  // namespace

PropertyList& PropertyList::add(Property property) {
  entries_.push_back(std::move(property));
  return *this;
}

PropertyList& PropertyList::boolean(std::string name, bool value) {
  return add({std::move(name), value});
}

PropertyList& PropertyList::fontUnit(std::string name, std::uint8_t code) {
  return add({std::move(name), FontUnit{code}});
}

PropertyList& PropertyList::int32(std::string name, std::int32_t value) {
  return add({std::move(name), value});
}

PropertyList& PropertyList::colour(std::string name, std::uint32_t rgb) {
  return add({std::move(name), Colour{rgb}});
}

PropertyList& PropertyList::single(std::string name, float value) {
  return add({std::move(name), value});
}

PropertyList& PropertyList::real(std::string name, double value) {
  return add({std::move(name), value});
}

PropertyList& PropertyList::string(std::string name, std::string value) {
  return add({std::move(name), std::move(value)});
}

PropertyList& PropertyList::initialParent(std::string name) {
  return add({std::move(name), InitialParent{}});
}

bool PropertyList::knownProperty(std::string_view name, PropertyType* type) {
  const auto found = propertyTypes().find(name);
  if (found == propertyTypes().end()) return false;
  if (type) *type = found->second;
  return true;
}

std::string PropertyList::encode() const {
  std::string bytes;
  for (const Property& entry : entries_) {
    bytes += entry.name;
    bytes += ' ';
    std::visit(
        [&bytes](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, bool>) {
            bytes.push_back(value ? '\x01' : '\x00');
          } else if constexpr (std::is_same_v<T, FontUnit>) {
            bytes.push_back(static_cast<char>(value.code));
          } else if constexpr (std::is_same_v<T, std::int32_t>) {
            putLittleEndian(bytes, static_cast<std::uint32_t>(value), 4);
          } else if constexpr (std::is_same_v<T, Colour>) {
            putLittleEndian(bytes, value.rgb, 4);
          } else if constexpr (std::is_same_v<T, float>) {
            putLittleEndian(bytes, std::bit_cast<std::uint32_t>(value), 4);
          } else if constexpr (std::is_same_v<T, double>) {
            putLittleEndian(bytes, std::bit_cast<std::uint64_t>(value), 8);
          } else if constexpr (std::is_same_v<T, std::string>) {
            putLittleEndian(bytes, value.size(), 4);
            bytes += value;
          } else {
            putLittleEndian(bytes, value.reference, 4);
          }
        },
        entry.value);
  }
  return bytes;
}

PropertyList PropertyList::decode(std::string_view bytes) {
  PropertyList list;
  Reader reader(bytes);
  while (!reader.atEnd()) {
    std::string name = reader.name();
    PropertyType type{};
    if (!knownProperty(name, &type)) Reader::fail("no property is named " + name);
    PropertyValue value;
    switch (type) {
      case PropertyType::Boolean:
        value = reader.littleEndian(1) != 0;
        break;
      case PropertyType::FontUnit:
        value = FontUnit{static_cast<std::uint8_t>(reader.littleEndian(1))};
        break;
      case PropertyType::Int32:
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(reader.littleEndian(4)));
        break;
      case PropertyType::Colour:
        value = Colour{static_cast<std::uint32_t>(reader.littleEndian(4))};
        break;
      case PropertyType::Single:
        value = std::bit_cast<float>(static_cast<std::uint32_t>(reader.littleEndian(4)));
        break;
      case PropertyType::Double:
        value = std::bit_cast<double>(reader.littleEndian(8));
        break;
      case PropertyType::String: {
        const auto length = static_cast<std::size_t>(reader.littleEndian(4));
        value = std::string(reader.take(length));
        break;
      }
      case PropertyType::InitialParent:
        value = InitialParent{static_cast<std::uint32_t>(reader.littleEndian(4))};
        break;
    }
    list.add({std::move(name), std::move(value)});
  }
  return list;
}

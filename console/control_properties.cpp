#include "console/control_properties.h"

namespace {

constexpr std::int32_t kNoIndex = INT32_MIN;

void addFont(PropertyList& list) {
  list.boolean("Underline", false)
      .boolean("Italic", false)
      .boolean("Bold", false)
      .fontUnit("TextUnit", 0)
      .single("TextSize", 0.0f)
      .string("TextFont", "System");
}

void addData(PropertyList& list) {
  list.string("DataField", "").string("DataSource", "");
}

// TabStop to Name: the same closing run in every class.
void addPlace(PropertyList& list, const ControlPlace& place) {
  list.boolean("TabStop", true)
      .int32("TabIndex", place.tabIndex)
      .int32("TabPanelIndex", 0)
      .boolean("LockBottom", false)
      .boolean("LockRight", false)
      .boolean("LockTop", true)
      .boolean("LockLeft", true)
      .int32("Height", place.height)
      .int32("Width", place.width)
      .int32("Top", place.top)
      .int32("Left", place.left)
      .int32("Index", kNoIndex)
      .string("Name", place.name);
}

}  // namespace

PropertyList comboBoxProperties(const ControlPlace& place) {
  PropertyList list;
  list.boolean("AutoComplete", false);
  addData(list);
  addFont(list);
  list.boolean("UseFocusRing", true)
      .boolean("AutoDeactivate", true)
      .string("HelpTag", "")
      .boolean("Visible", place.visible)
      .int32("ListIndex", 0)
      .string("InitialValue", "")
      .boolean("Enabled", true);
  addPlace(list, place);
  return list;
}

PropertyList checkBoxProperties(const ControlPlace& place, const std::string& caption) {
  PropertyList list;
  list.initialParent("InitialParent");
  addData(list);
  list.boolean("Value", false).int32("State", 0);
  addFont(list);
  list.boolean("AutoDeactivate", true)
      .string("HelpTag", "")
      .boolean("Visible", place.visible)
      .boolean("Enabled", true)
      .string("Caption", caption);
  addPlace(list, place);
  return list;
}

PropertyList pushButtonProperties(const ControlPlace& place, const std::string& caption) {
  PropertyList list;
  list.initialParent("InitialParent");
  addFont(list);
  list.int32("ButtonStyle", 0)
      .boolean("AutoDeactivate", true)
      .string("HelpTag", "")
      .boolean("Visible", place.visible)
      .boolean("Enabled", true)
      .boolean("Cancel", false)
      .boolean("Default", true)
      .string("Caption", caption);
  addPlace(list, place);
  return list;
}

PropertyList textAreaProperties(const ControlPlace& place, std::uint32_t textColour,
                                std::uint32_t backColour) {
  PropertyList list;
  addData(list);
  list.boolean("AutomaticallyCheckSpelling", true)
      .int32("Alignment", 0)
      .boolean("AcceptTabs", false)
      .int32("LimitText", 0)
      .boolean("ReadOnly", false)
      .string("Mask", "")
      .string("Text", "");
  addFont(list);
  list.real("LineSpacing", 1.0)
      .real("LineHeight", 0.0)
      .boolean("HideSelection", true)
      .boolean("AutoDeactivate", true)
      .string("HelpTag", "")
      .boolean("Visible", place.visible)
      .string("Format", "")
      .boolean("Enabled", true)
      .colour("BackColor", backColour)
      .colour("TextColor", textColour)
      .boolean("UseFocusRing", true)
      .boolean("Styled", true)
      .boolean("ScrollbarVertical", true)
      .boolean("ScrollbarHorizontal", false)
      .boolean("Multiline", true)
      .boolean("Border", true);
  addPlace(list, place);
  return list;
}

PropertyList labelProperties(const ControlPlace& place, const std::string& text,
                             std::uint32_t textColour) {
  PropertyList list;
  list.initialParent("InitialParent");
  addData(list);
  addFont(list);
  list.int32("TextAlign", 0)
      .boolean("Multiline", false)
      .boolean("Selectable", false)
      .boolean("Transparent", true)
      .boolean("AutoDeactivate", true)
      .string("HelpTag", "")
      .boolean("Visible", place.visible)
      .boolean("Enabled", true)
      .colour("TextColor", textColour)
      .string("Text", text);
  addPlace(list, place);
  return list;
}

PropertyList windowProperties(const WindowSettings& settings) {
  PropertyList list;
  list.int32("Width", settings.width)
      .int32("Height", settings.height)
      .int32("MinWidth", 64)
      .int32("MinHeight", 64)
      .int32("MaxWidth", 32000)
      .int32("MaxHeight", 32000)
      .int32("Frame", 0)
      .string("Title", settings.title)
      .boolean("CloseButton", true)
      .boolean("Resizeable", true)
      .boolean("MaximizeButton", true)
      .boolean("MinimizeButton", true)
      .boolean("FullScreenButton", false)
      .boolean("Composite", false)
      .int32("MacProcID", 0)
      .int32("Placement", 0)
      .boolean("Visible", true)
      .boolean("LiveResize", true)
      .boolean("FullScreen", false)
      .boolean("HasBackColor", settings.hasBackColor)
      .colour("BackColor", settings.backColour)
      .boolean("MenuBarVisible", true);
  return list;
}

#pragma once

#include <QSize>
#include <QWidget>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "console/control.h"
#include "console/framework.h"
#include "console/nil_object_exception.h"
#include "console/property_target.h"

class MenuBar;
class QMenuBar;
class QVBoxLayout;

// A top-level window: an optional menu bar view above the interior, in which the controls sit
// at fixed places. Sizes and places are the interior's. A window is open from its creation
// until it is closed; the framework finds an open window by its class name and destroys it on
// close (or at shut-down).
class Window : public QWidget, public PropertyTarget {
 public:
  explicit Window(std::string className);
  ~Window() override;

  const std::string& ClassName() const { return className_; }

  // Builds the window: the Layout hook, the CreateControls hook, the tab order, the controls'
  // Open events and then the window's own; shows it when its Visible setting is true.
  void Constructor();
  // Shows the window, restored if it was minimised, and brings it to the front.
  void Show();
  void Close();

  // The window's menu bar: a view of the given bar, which stays the bar's holder's.
  void setMenuBar(MenuBar& bar);
  MenuBar* menuBar() const { return menuBar_; }
  QMenuBar* menuBarView() const { return menuBarView_; }

  // Where the controls sit.
  QWidget* interior() const { return interior_; }

  // A new control of class T for this window, owned by it.
  template <class T>
  T& newControl() {
    if constexpr (std::is_base_of_v<QWidget, T>) {
      return *new T(interior_);
    } else {
      return *new T(this);
    }
  }
  void _AddControl(const std::string& name, Control& control);
  // Creates a control of class T, adds it under the name, looks it up and applies its property
  // list.
  template <class T>
  T& buildControl(const std::string& name, std::string_view properties) {
    _AddControl(name, newControl<T>());
    T& control = controlAs<T>(name);
    Framework::_SetProperties(control, properties);
    return control;
  }
  // NilObjectException when the window has no control of that name.
  Control& _ControlByName(const std::string& name) const;
  template <class T>
  T& controlAs(const std::string& name) const {
    if (auto* control = dynamic_cast<T*>(&_ControlByName(name))) return *control;
    throw NilObjectException(className_ + " has no control " + name + " of the class asked for");
  }
  // In creation order.
  const std::vector<Control*>& controls() const { return controls_; }

  bool applyProperty(const Property& property) override;

  // The first open window of the class, or none.
  static Window* findOpen(const std::string& className);
  // Destroys every window that still exists.
  static void destroyAllWindows();

 protected:
  virtual void Layout() {}
  virtual void CreateControls() {}
  virtual void Open() {}

  void closeEvent(QCloseEvent* event) override;

 private:
  void applyTabOrder();
  void resizeToInterior();
  void applyBackground();

  std::string className_;
  bool open_ = true;
  QVBoxLayout* layout_ = nullptr;
  QWidget* interior_ = nullptr;
  MenuBar* menuBar_ = nullptr;
  QMenuBar* menuBarView_ = nullptr;
  bool menuBarVisible_ = true;
  std::vector<Control*> controls_;
  QSize interiorSize_{100, 100};
  bool visible_ = false;
  bool fullScreen_ = false;
  bool hasBackColor_ = false;
  Colour backColor_;
};

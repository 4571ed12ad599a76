#include "console/window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "console/menu_bar.h"
#include "console/qt_colour.h"
#include "console/runtime.h"
#include "console/screen_control.h"

namespace {

// Every window that exists, open or closed but not yet destroyed, oldest first.
std::vector<Window*>& allWindows() {
  static std::vector<Window*> windows;
  return windows;
}

}  // namespace

Window::Window(std::string className) : className_(std::move(className)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMinMaxButtonsHint);
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  // The window's own minimum and maximum follow the interior's plus the menu bar.
  layout_->setSizeConstraint(QLayout::SetMinAndMaxSize);
  interior_ = new QWidget(this);
  interior_->setObjectName("interior");
  layout_->addWidget(interior_);
  allWindows().push_back(this);
}

Window::~Window() {
  Runtime::trace("Window released " + className_);
  std::erase(allWindows(), this);
}

void Window::Constructor() {
  Runtime::trace("Window.Constructor " + className_);
  Layout();
  CreateControls();
  applyTabOrder();
  // The controls open first, so that the window's Open handler finds them ready.
  for (Control* control : controls_) control->raiseOpen();
  Runtime::runHandler([this] { Open(); });
  if (visible_) fullScreen_ ? showFullScreen() : show();
}

void Window::Show() {
  // Back from minimised to the state it had before: maximised or full screen stays so.
  setWindowState(windowState() & ~Qt::WindowMinimized);
  fullScreen_ ? showFullScreen() : show();
  raise();
  activateWindow();
}

void Window::Close() {
  close();
}

void Window::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted()) open_ = false;
}

void Window::setMenuBar(MenuBar& bar) {
  Runtime::trace("Window.MenuBar " + className_ + " " +
                 std::to_string(reinterpret_cast<std::uintptr_t>(&bar)));
  menuBar_ = &bar;
  delete menuBarView_;
  menuBarView_ = bar.createView(this);
  menuBarView_->setVisible(menuBarVisible_);
  layout_->setMenuBar(menuBarView_);
  resizeToInterior();
}

void Window::_AddControl(const std::string& name, Control& control) {
  control.setName(name);
  controls_.push_back(&control);
}

Control& Window::_ControlByName(const std::string& name) const {
  for (Control* control : controls_) {
    if (control->Name() == name) return *control;
  }
  throw NilObjectException(className_ + " has no control named " + name);
}

void Window::applyTabOrder() {
  std::vector<ScreenControl*> order;
  for (Control* control : controls_) {
    if (auto* screenControl = dynamic_cast<ScreenControl*>(control)) order.push_back(screenControl);
  }
  std::stable_sort(order.begin(), order.end(), [](const ScreenControl* a, const ScreenControl* b) {
    return a->TabIndex() < b->TabIndex();
  });
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(&order[i - 1]->widget(), &order[i]->widget());
  }
}

void Window::resizeToInterior() {
  const int menuBarHeight = menuBarView_ && menuBarVisible_ ? menuBarView_->sizeHint().height() : 0;
  resize(interiorSize_.width(), interiorSize_.height() + menuBarHeight);
}

void Window::applyBackground() {
  if (!hasBackColor_) {
    interior_->setPalette(QPalette());
    interior_->setAutoFillBackground(false);
    return;
  }
  QPalette palette = interior_->palette();
  const QColor colour = toQColor(backColor_);
  palette.setColor(QPalette::Window, colour);
  // Captions drawn straight on the window's colour (check boxes) stay readable on dark colours.
  palette.setColor(QPalette::WindowText, colour.lightness() < 128 ? Qt::white : Qt::black);
  interior_->setPalette(palette);
  interior_->setAutoFillBackground(true);
}

bool Window::applyProperty(const Property& property) {
  const std::string& name = property.name;
  if (name == "Width") {
    interiorSize_.setWidth(property.asInt32());
    resizeToInterior();
  } else if (name == "Height") {
    interiorSize_.setHeight(property.asInt32());
    resizeToInterior();
  } else if (name == "MinWidth") {
    interior_->setMinimumWidth(property.asInt32());
  } else if (name == "MinHeight") {
    interior_->setMinimumHeight(property.asInt32());
  } else if (name == "MaxWidth") {
    interior_->setMaximumWidth(property.asInt32());
  } else if (name == "MaxHeight") {
    interior_->setMaximumHeight(property.asInt32());
  } else if (name == "Title") {
    setWindowTitle(QString::fromStdString(property.asString()));
  } else if (name == "CloseButton") {
    setWindowFlag(Qt::WindowCloseButtonHint, property.asBoolean());
  } else if (name == "MaximizeButton") {
    setWindowFlag(Qt::WindowMaximizeButtonHint, property.asBoolean());
  } else if (name == "MinimizeButton") {
    setWindowFlag(Qt::WindowMinimizeButtonHint, property.asBoolean());
  } else if (name == "Resizeable") {
    if (!property.asBoolean()) interior_->setFixedSize(interiorSize_);
  } else if (name == "Visible") {
    visible_ = property.asBoolean();
  } else if (name == "FullScreen") {
    fullScreen_ = property.asBoolean();
  } else if (name == "HasBackColor") {
    hasBackColor_ = property.asBoolean();
    applyBackground();
  } else if (name == "BackColor") {
    backColor_ = property.asColour();
    applyBackground();
  } else if (name == "MenuBarVisible") {
    menuBarVisible_ = property.asBoolean();
    if (menuBarView_) menuBarView_->setVisible(menuBarVisible_);
    resizeToInterior();
  } else if (name == "Frame") {
    // 0 is a document window, the only kind used here: an ordinary top-level window with a
    // title bar.
  } else if (name == "Placement") {
    // 0 leaves the place on the screen to the window manager.
  } else if (name == "MacProcID" || name == "Composite" || name == "FullScreenButton") {
    // Another platform's window definition code, compositing switch and title-bar full-screen
    // button; Qt windows have none of them.
  } else if (name == "LiveResize") {
    // Qt always redraws the contents while the window is being resized.
  } else {
    return false;
  }
  return true;
}

Window* Window::findOpen(const std::string& className) {
  for (Window* window : allWindows()) {
    if (window->open_ && window->className_ == className) return window;
  }
  return nullptr;
}

void Window::destroyAllWindows() {
  while (!allWindows().empty()) {
    delete allWindows().back();
  }
}

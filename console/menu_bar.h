#pragma once

#include "console/menu_item.h"

class QMenuBar;
class QWidget;

// A menu bar: its children are the menus. Shared by the application and its windows; each
// window shows its own view of it.
class MenuBar : public MenuItem {
 public:
  MenuBar();
  ~MenuBar() override;

  // A Qt menu bar for the window, with one action per item; choosing an action runs the item's
  // Action through the runtime.
  QMenuBar* createView(QWidget* window) const;
};

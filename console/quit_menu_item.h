#pragma once

#include "console/menu_item.h"

// Choosing it ends the event loop, and with it the application.
class QuitMenuItem : public MenuItem {
 public:
  void Action() const override;
};

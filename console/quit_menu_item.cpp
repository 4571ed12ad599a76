#include "console/quit_menu_item.h"

#include "console/runtime.h"

void QuitMenuItem::Action() const {
  Runtime::quit();
}

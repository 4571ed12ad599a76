#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

#include "console/runtime.h"

// An event of a control: every handler attached to it runs, in the order attached, with the
// control that raised it (and the event's own arguments), each through the runtime.
template <class Sender, class... Args>
class Event {
 public:
  using Handler = std::function<void(Sender&, Args...)>;

  void addHandler(Handler handler) { handlers_.push_back(std::move(handler)); }

  void raise(Sender& sender, Args... args) const {
    for (const Handler& handler : handlers_) {
      Runtime::runHandler([&] { handler(sender, args...); });
    }
  }

 private:
  std::vector<Handler> handlers_;
};

// A handler bound to one window: the window's method, called with the control that raised the
// event, or without it when the method takes only the event's own arguments.
template <class Sender, class... Args, class Target, class Method>
std::function<void(Sender&, Args...)> RuntimeCreateDelegate(Target* target, Method method) {
  return [target, method](Sender& sender, Args... args) {
    if constexpr (std::is_invocable_v<Method, Target*, Sender&, Args...>) {
      std::invoke(method, target, sender, std::forward<Args>(args)...);
    } else {
      static_cast<void>(sender);
      std::invoke(method, target, std::forward<Args>(args)...);
    }
  };
}

template <class Sender, class... Args>
void RuntimeAddEventHandler(Event<Sender, Args...>& event,
                            typename Event<Sender, Args...>::Handler handler) {
  event.addHandler(std::move(handler));
}

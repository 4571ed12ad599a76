#pragma once

#include <string_view>

// The six built-in patch texts (upper-case hex), embedded from the .hex files beside this header.
namespace patches {
extern const std::string_view NhlPatch;
extern const std::string_view MarioKartPatch;
extern const std::string_view SegMK2;
extern const std::string_view MK2Snes;
extern const std::string_view NBAJam;
extern const std::string_view ssf2jpatch;
}  // namespace patches

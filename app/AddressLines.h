// A web address as a dialog body shows it: an address has no blank to wrap at, so it is
// broken into lines no wider than the body, at most kMaxAddressLines of them (the last
// shortened to end in "..." when more would be needed), with every '^' doubled so no part
// of it is read as a colour code. Only the text shown changes, never the address opened.
#pragma once

#include <string>

namespace Varn {

class Font;

inline constexpr int kMaxAddressLines = 12;

std::string AddressLines(const std::string& address, const Font& font, int width);

}  // namespace Varn

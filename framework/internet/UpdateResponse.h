// The update server's answer, a short line-based text:
//   line 1   an integer; non-zero means the product is up to date
//   line 2   the web page of the update
//   further  advertisement lines (see AdvertisementList), at most
//            kMaxAdvertisementLines kept; the rest are only counted
// Lines end at "\n"; trailing "\r" and " " are dropped; empty lines do not
// count. A page address is only ever opened when it is a plain http or https
// URL: a file path or an option-like string counts as no page.
#pragma once

#include <string>
#include <vector>

namespace Varn {

inline constexpr size_t kMaxAdvertisementLines = 64;

struct UpdateResponse {
    bool hasUpToDateLine = false;
    bool upToDate = true;
    std::string pageUrl;
    std::vector<std::string> advertisementLines;
    size_t droppedAdvertisementLines = 0;
};

UpdateResponse ParseUpdateResponseText(const std::string& content);

// atoi's reading (leading blanks, a sign, digits) without its overflow: only
// whether the number is non-zero matters here.
bool LeadingNumberIsNonZero(const std::string& text);

// An absolute http:// or https:// URL with a host, at most 2048 bytes, and no
// blank or control byte (ASCII, or Latin-1 0x80-0x9F) nor a no-break space.
bool IsOpenableWebAddress(const std::string& url);
// Why an address is not openable, told to the player ("its address ..."); null when it is.
const char* WebAddressProblem(const std::string& url);

}  // namespace Varn

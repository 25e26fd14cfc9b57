// Fuzz entry point for the update server's answer and the URL rules: any bytes
// must parse without a crash; counted lines never hold a line break or end in
// a blank; an absolute relative name resolves to itself; splitting any URL
// gives a path that starts with "/".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/internet/HTTPTransfer.h"
#include "framework/internet/UpdateResponse.h"

namespace {

void CheckLine(const std::string& line) {
    if (line.empty() || line.find('\n') != std::string::npos) std::abort();
    if (line.back() == ' ' || line.back() == '\r') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Varn::UpdateResponse response = Varn::ParseUpdateResponseText(text);
    if (!response.pageUrl.empty()) CheckLine(response.pageUrl);
    for (const std::string& line : response.advertisementLines) CheckLine(line);
    Varn::IsOpenableWebAddress(response.pageUrl);

    size_t split = text.find('\0');
    std::string base = text.substr(0, split);
    std::string relative = split == std::string::npos ? std::string() : text.substr(split + 1);
    std::string full = Varn::HTTPTransfer::ResolveRelative(base, relative);
    if (relative.rfind("http://", 0) == 0 && full != relative) std::abort();
    Varn::HTTPTransfer::UrlParts parts = Varn::HTTPTransfer::SplitUrl(full);
    if (parts.path.empty() || parts.path[0] != '/') std::abort();
    if (parts.port < 1 || parts.port > 65535) std::abort();
    return 0;
}

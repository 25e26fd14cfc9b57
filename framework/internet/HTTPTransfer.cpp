// HTTPTransfer: starting, aborting and joining the worker, and the URL rules.
// The worker's libcurl side is in HTTPTransferWorker.cpp.
#include "framework/internet/HTTPTransfer.h"

#if GEMLODE_ONLINE
#include "framework/internet/CurlLibrary.h"
#endif

#include <cctype>
#include <system_error>

namespace Varn {

namespace {

// Length of a leading "http://" or "https://" (any letter case), else 0.
size_t WebSchemeLength(const std::string& url) {
    auto startsWith = [&url](const char* prefix, size_t length) {
        if (url.size() < length) return false;
        for (size_t i = 0; i < length; ++i)
            if (std::tolower(static_cast<unsigned char>(url[i])) != prefix[i]) return false;
        return true;
    };
    if (startsWith("http://", 7)) return 7;
    if (startsWith("https://", 8)) return 8;
    return 0;
}

// The base without its query or fragment: a "/" inside a query is no folder.
std::string WithoutQuery(const std::string& base) {
    return base.substr(0, base.find_first_of("?#"));
}

int ParsePort(const std::string& text, int fallback) {
    if (text.empty() || text.size() > 5) return fallback;
    int value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return fallback;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535 ? value : fallback;
}

// "host", "host:port", "[v6]" or "[v6]:port", after any "user@".
void SplitHostPort(std::string authority, HTTPTransfer::UrlParts& parts) {
    size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);
    size_t colon = authority.rfind(':');
    size_t bracket = authority.rfind(']');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        parts.port = ParsePort(authority.substr(colon + 1), parts.port);
        authority.erase(colon);
    }
    parts.host = authority;
}

}  // namespace

HTTPTransfer::HTTPTransfer() = default;

HTTPTransfer::~HTTPTransfer() {
    Abort();
    Wait();
}

const std::string& HTTPTransfer::TransportError() {
#if GEMLODE_ONLINE
    return SharedCurlError();
#else
    static const std::string offline = "built without the network";
    return offline;
#endif
}

HTTPTransfer::UrlParts HTTPTransfer::SplitUrl(const std::string& url) {
    UrlParts parts;
    size_t slashes = url.find("//");
    if (slashes == std::string::npos) return parts;
    if (slashes > 0) parts.protocol = url.substr(0, slashes - 1);
    for (char& c : parts.protocol) c = char(std::tolower(static_cast<unsigned char>(c)));
    parts.port = parts.protocol == "https" ? 443 : 80;
    size_t hostStart = slashes + 2;
    size_t hostEnd = url.find_first_of("/?#", hostStart);
    if (hostEnd == std::string::npos) {
        SplitHostPort(url.substr(hostStart), parts);
        return parts;
    }
    SplitHostPort(url.substr(hostStart, hostEnd - hostStart), parts);
    parts.path = url[hostEnd] == '/' ? url.substr(hostEnd) : "/" + url.substr(hostEnd);
    return parts;
}

std::string HTTPTransfer::ResolveRelative(const std::string& base, const std::string& relative) {
    if (WebSchemeLength(relative) > 0) return relative;
    size_t hostStart = WebSchemeLength(base);
    if (hostStart == 0) hostStart = 7;
    std::string trimmed = WithoutQuery(base);
    if (!relative.empty() && relative[0] == '/') {
        size_t slash = trimmed.find('/', hostStart);
        return (slash == std::string::npos ? trimmed : trimmed.substr(0, slash)) + relative;
    }
    size_t last = trimmed.rfind('/');
    if (last == std::string::npos || last < hostStart) return trimmed + "/" + relative;
    return trimmed.substr(0, last + 1) + relative;
}

void HTTPTransfer::GetAbsolute(const std::string& url) {
    baseUrl.clear();
    requestedUrl = url;
    Start(url);
}

void HTTPTransfer::GetRelative(const std::string& base, const std::string& relative) {
    baseUrl = base;
    requestedUrl = relative;
    Start(ResolveRelative(base, relative));
}

void HTTPTransfer::Abort() {
    aborted.store(true);
    stop.store(true);
#if GEMLODE_ONLINE
    if (multi) SharedCurl()->multi_wakeup(static_cast<CURLM*>(multi));
#endif
}

void HTTPTransfer::Wait() {
    if (worker.joinable()) worker.join();
#if GEMLODE_ONLINE
    if (multi) SharedCurl()->multi_cleanup(static_cast<CURLM*>(multi));
#endif
    multi = nullptr;
}

void HTTPTransfer::Start(const std::string& url) {
    if (IsRunning()) Abort();
    Wait();
    fullUrl = url;
    UrlParts parts = SplitUrl(url);
    protocol = parts.protocol;
    host = parts.host;
    port = parts.port;
    path = parts.path;
    content.clear();
    failureReason.clear();
    stop.store(false);
    aborted.store(false);
    result.store(kInProgress, std::memory_order_release);
    running.store(true, std::memory_order_release);
    if ((protocol != "http" && protocol != "https") || host.empty()) {
        Finish(kNoHost);  // nothing else is ever fetched
        return;
    }
#if GEMLODE_ONLINE
    const CurlLibrary* curl = SharedCurl();
    multi = curl ? curl->multi_init() : nullptr;
    if (!multi) {
        Finish(kNoSocket);
        return;
    }
    try {
        worker = std::thread(&HTTPTransfer::Work, this);
    } catch (const std::system_error&) {
        Finish(kNoSocket);
    }
#else
    Finish(kNoSocket);  // built without the network
#endif
}

void HTTPTransfer::Finish(int code) {
    if (aborted.load()) code = kAborted;
    stop.store(true);
    result.store(code, std::memory_order_release);
    running.store(false, std::memory_order_release);
}

}  // namespace Varn

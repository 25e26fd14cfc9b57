// HTTPTransfer's worker: one libcurl easy handle driven through a multi handle,
// so that Abort can wake a transfer blocked on a silent server at once
// (curl_multi_wakeup), and libcurl's failures mapped onto the result codes.
// NOTE: libcurl is one of the two places above platform/ that reach the
// operating system's network directly; nothing here starts a shell.
#include <arpa/inet.h>
#include <strings.h>
#include <sys/socket.h>

#include <cstring>

#include "framework/internet/CurlLibrary.h"
#include "framework/internet/HTTPTransfer.h"
#include "platform/ThreadSignalStack.h"

namespace Varn {

namespace {

const char* const kAgentHeader = "Agent: Mozilla/4.0 (compatible; zandrel)";
constexpr long kMaxRedirects = 3;
constexpr int kPollMs = 1000;

struct Sink {
    std::string* content;
    std::size_t limit;
    bool tooLarge = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    size_t bytes = size * count;
    if (sink->content->size() + bytes > sink->limit) {
        sink->tooLarge = true;
        return 0;  // ends the transfer with a write error
    }
    sink->content->append(data, bytes);
    return bytes;
}

// 169.254.0.0/16 and fe80::/10, also as an IPv4-mapped IPv6 address.
bool IsLinkLocal(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        uint32_t ip = ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
        return (ip >> 16) == 0xA9FE;
    }
    if (address->sa_family != AF_INET6) return false;
    const uint8_t* b = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr.s6_addr;
    static const uint8_t kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (b[0] == 0xFE && (b[1] & 0xC0) == 0x80) return true;
    return std::memcmp(b, kMapped, sizeof(kMapped)) == 0 && b[12] == 169 && b[13] == 254;
}

std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw =
        address->sa_family == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr)
            : &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    inet_ntop(address->sa_family, raw, text, sizeof(text));
    return text;
}

// Every connection, the first and each redirect's, is opened here, after the
// name is resolved: a link-local address is refused before any connect.
curl_socket_t OpenSocket(void* reason, curlsocktype purpose, curl_sockaddr* address) {
    if (purpose == CURLSOCKTYPE_IPCXN && IsLinkLocal(&address->addr)) {
        *static_cast<std::string*>(reason) =
            "connection to the link-local address " + AddressText(&address->addr) + " refused";
        return CURL_SOCKET_BAD;
    }
    return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

bool Connected(const CurlLibrary& curl, CURL* easy) {
    curl_off_t connectTime = 0;
    return curl.easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectTime) == CURLE_OK &&
           connectTime > 0;
}

// The body is asked for without encoding; an encoded one (gzip, ...) is no answer.
bool IsEncoded(const CurlLibrary& curl, CURL* easy) {
    curl_header* header = nullptr;
    for (size_t i = 0;
         curl.easy_header(easy, "Content-Encoding", i, CURLH_HEADER, -1, &header) == CURLHE_OK;
         ++i) {
        if (strcasecmp(header->value, "identity") != 0) return true;
        if (i + 1 >= header->amount) break;
    }
    return false;
}

int StatusResult(long status) {
    if (status == 200 || status == 0) return HTTPTransfer::kCompleted;  // 0: no status line
    if (status == 404) return HTTPTransfer::kNotFound;
    return HTTPTransfer::kBadStatus;
}

int MapOutcome(const CurlLibrary& curl, CURL* easy, CURLcode code, bool tooLarge) {
    if (tooLarge || code == CURLE_FILESIZE_EXCEEDED) return HTTPTransfer::kBadStatus;
    if (code == CURLE_OK) {
        long status = 0;
        curl.easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        const int result = StatusResult(status);
        return result == HTTPTransfer::kCompleted && IsEncoded(curl, easy)
                   ? HTTPTransfer::kBadStatus
                   : result;
    }
    if (code == CURLE_SEND_ERROR) return HTTPTransfer::kSendFailed;
    // Past the connect, anything else is an answer that cannot be used.
    if (Connected(curl, easy)) return HTTPTransfer::kBadStatus;
    switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return HTTPTransfer::kNoHost;
        default:
            return HTTPTransfer::kConnectFailed;
    }
}

// Sets the transfer's options in order and stops at the first one libcurl
// refuses: a limit that does not apply must fail the transfer, not be skipped.
class Options {
public:
    Options(const CurlLibrary& library, CURL* handle) : curl(library), easy(handle) {}

    template <typename Value>
    void Set(CURLoption option, const char* name, Value value) {
        if (!refusal.empty()) return;
        const CURLcode code = curl.easy_setopt(easy, option, value);
        if (code != CURLE_OK)
            refusal = std::string("libcurl refused ") + name + ": " + curl.easy_strerror(code);
    }
    // Empty when every option was accepted.
    const std::string& Refusal() const { return refusal; }

private:
    const CurlLibrary& curl;
    CURL* easy;
    std::string refusal;
};

std::string Configure(const CurlLibrary& curl, CURL* easy, const std::string& url,
                      curl_slist* headers, Sink* sink, const HTTPTransfer::Limits& limits,
                      std::string* socketRefusal) {
    Options options(curl, easy);
    options.Set(CURLOPT_URL, "CURLOPT_URL", url.c_str());
    options.Set(CURLOPT_NOSIGNAL, "CURLOPT_NOSIGNAL", 1L);
    options.Set(CURLOPT_HTTP_VERSION, "CURLOPT_HTTP_VERSION", long(CURL_HTTP_VERSION_1_0));
    options.Set(CURLOPT_HTTP09_ALLOWED, "CURLOPT_HTTP09_ALLOWED", 1L);
    options.Set(CURLOPT_HTTPHEADER, "CURLOPT_HTTPHEADER", headers);
    options.Set(CURLOPT_PROTOCOLS_STR, "CURLOPT_PROTOCOLS_STR", "http,https");
    options.Set(CURLOPT_REDIR_PROTOCOLS_STR, "CURLOPT_REDIR_PROTOCOLS_STR", "http,https");
    options.Set(CURLOPT_FOLLOWLOCATION, "CURLOPT_FOLLOWLOCATION", 1L);
    options.Set(CURLOPT_MAXREDIRS, "CURLOPT_MAXREDIRS", kMaxRedirects);
    options.Set(CURLOPT_CONNECTTIMEOUT_MS, "CURLOPT_CONNECTTIMEOUT_MS", limits.connectTimeoutMs);
    options.Set(CURLOPT_TIMEOUT_MS, "CURLOPT_TIMEOUT_MS", limits.totalTimeoutMs);
    options.Set(CURLOPT_MAXFILESIZE_LARGE, "CURLOPT_MAXFILESIZE_LARGE",
                curl_off_t(limits.maxBodyBytes));
    options.Set(CURLOPT_WRITEFUNCTION, "CURLOPT_WRITEFUNCTION", WriteBody);
    options.Set(CURLOPT_WRITEDATA, "CURLOPT_WRITEDATA", sink);
    options.Set(CURLOPT_OPENSOCKETFUNCTION, "CURLOPT_OPENSOCKETFUNCTION", OpenSocket);
    options.Set(CURLOPT_OPENSOCKETDATA, "CURLOPT_OPENSOCKETDATA", socketRefusal);
    return options.Refusal();
}

// Drives the transfer until it ends or the stop flag is seen; the result of
// an ended transfer, or nothing when stopped.
bool Drive(const CurlLibrary& curl, CURLM* multi, const std::atomic<bool>& stop,
           CURLcode& outcome) {
    int active = 1;
    while (!stop.load()) {
        if (curl.multi_perform(multi, &active) != CURLM_OK) break;
        int queued = 0;
        while (CURLMsg* message = curl.multi_info_read(multi, &queued)) {
            if (message->msg != CURLMSG_DONE) continue;
            outcome = message->data.result;
            return true;
        }
        if (active == 0) break;
        // A wait that fails would fail again at once: the loop would spin until the time-out.
        if (curl.multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) break;
    }
    return false;
}

}  // namespace

void HTTPTransfer::Work() {
    ThreadSignalStack signalStack;
    const CurlLibrary& curl = *SharedCurl();  // opened by Start, which made the multi handle
    CURLM* handles = static_cast<CURLM*>(multi);
    CURL* easy = handles ? curl.easy_init() : nullptr;
    if (!easy) {
        Finish(kNoSocket);
        return;
    }
    curl_slist* headers = curl.slist_append(nullptr, kAgentHeader);
    headers = curl.slist_append(headers, "Accept:");  // only the headers we mean
    headers = curl.slist_append(headers, "Accept-Encoding: identity");
    Sink sink{&content, limits.maxBodyBytes};
    failureReason = Configure(curl, easy, fullUrl, headers, &sink, limits, &failureReason);
    CURLcode outcome = CURLE_OK;
    int code = kAborted;
    if (!failureReason.empty()) {
        code = kNoSocket;
    } else if (curl.multi_add_handle(handles, easy) != CURLM_OK) {
        code = kNoSocket;
    } else {
        if (Drive(curl, handles, stop, outcome))
            code = MapOutcome(curl, easy, outcome, sink.tooLarge);
        else if (!stop.load())
            code = kConnectFailed;  // the multi interface itself failed
        curl.multi_remove_handle(handles, easy);
    }
    curl.easy_cleanup(easy);
    curl.slist_free_all(headers);
    Finish(code);
}

}  // namespace Varn

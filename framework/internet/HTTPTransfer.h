// HTTPTransfer: fetches one URL at a time over HTTP/1.0 (or HTTPS) on a worker
// thread of its own and keeps the answer's body. The transport is libcurl; this
// class keeps the framework's interface and result codes on top of it:
//   0 completed (status 200, or an answer without a status line)
//   1 idle (never started)      2 in progress
//   3 status 404                4 any other status, or no usable answer
//                                 (too large, cut off, silent, bad redirect,
//                                 encoded: only "identity" is asked for)
//   5 aborted                   6 no transfer handle or worker thread could be made
//   7 no host (name not resolved, or the URL has no usable host/scheme)
//   8 the connection failed (refused, unreachable, connect time-out), or waiting
//     for the network failed
//   9 sending the request failed
// Limits the caller may tighten: connect time-out (5 s), whole transfer (15 s),
// body size (1 MiB; more aborts with 4). Only http and https are fetched, also
// on redirects (at most 3), and never from a link-local address (169.254.0.0/16,
// fe80::/10, where cloud machines answer with their own credentials): no
// connection is made there and the transfer ends with 8 (4 after a redirect).
//
// Threads: the owner (one thread) calls every operation; the worker only
// writes the content and then the result. The content may be read once the
// result is no longer 2. The worker never outlives the transfer: starting
// again and destruction abort and join it. The first transfer opens libcurl;
// without it every transfer ends at once with 6, as in a build without the
// network (GEMLODE_ONLINE=0).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>

namespace Varn {

class HTTPTransfer {
public:
    enum Result {
        kCompleted = 0,
        kIdle = 1,
        kInProgress = 2,
        kNotFound = 3,
        kBadStatus = 4,
        kAborted = 5,
        kNoSocket = 6,
        kNoHost = 7,
        kConnectFailed = 8,
        kSendFailed = 9,
    };

    struct Limits {
        long connectTimeoutMs = 5000;
        long totalTimeoutMs = 15000;
        std::size_t maxBodyBytes = std::size_t(1) << 20;
    };

    HTTPTransfer();
    virtual ~HTTPTransfer();
    HTTPTransfer(const HTTPTransfer&) = delete;
    HTTPTransfer& operator=(const HTTPTransfer&) = delete;

    // Why transfers cannot run (libcurl missing, or no network in this build);
    // empty while they can and before the first transfer tried.
    static const std::string& TransportError();

    void GetAbsolute(const std::string& url);
    void GetRelative(const std::string& base, const std::string& relative);
    // Sets the stop and aborted flags and wakes the worker; it ends with 5.
    void Abort();
    // Returns once no worker runs.
    void Wait();

    int GetResult() const { return result.load(std::memory_order_acquire); }
    bool IsRunning() const { return running.load(std::memory_order_acquire); }
    // Meaningful once the result is no longer 2.
    const std::string& GetContent() const { return content; }
    // Why the transfer failed, where its result code alone does not say (an option
    // libcurl refused, a refused link-local address); empty otherwise. Meaningful
    // once the result is no longer 2.
    const std::string& GetFailureReason() const { return failureReason; }
    const std::string& GetRequestedUrl() const { return requestedUrl; }
    const std::string& GetFullUrl() const { return fullUrl; }
    const std::string& GetProtocol() const { return protocol; }
    const std::string& GetHost() const { return host; }
    int GetPort() const { return port; }
    const std::string& GetPath() const { return path; }

    // Applies to transfers started afterwards.
    void SetLimits(const Limits& newLimits) { limits = newLimits; }

    // The full URL for a name relative to a base (absolute http/https URLs
    // unchanged; "/x" on the base's host; else beside the base's last "/").
    static std::string ResolveRelative(const std::string& base, const std::string& relative);

    struct UrlParts {
        std::string protocol;  // without its colon; empty without "//"
        std::string host;      // without a port
        int port = 80;
        std::string path = "/";  // query included
    };
    // Splits at "//" and the first "/" after the host; "host:port" gives the
    // port (80 for http, 443 for https otherwise).
    static UrlParts SplitUrl(const std::string& url);

private:
    void Start(const std::string& url);
    void Work();
    void Finish(int code);

    std::string baseUrl;
    std::string requestedUrl;
    std::string fullUrl;
    std::string protocol;
    std::string host;
    int port = 80;
    std::string path = "/";
    std::string content;
    std::string failureReason;
    Limits limits;
    std::atomic<bool> running{false};
    std::atomic<bool> stop{false};
    std::atomic<bool> aborted{false};
    std::atomic<int> result{kIdle};
    // The libcurl multi handle of the current worker: made before the worker
    // starts and freed after it is joined, so Abort may wake it at any time.
    void* multi = nullptr;
    std::thread worker;
};

}  // namespace Varn

// LoopbackServer: POSIX sockets with poll time-outs, so nothing blocks for long.
#include "tests/http/LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace Varn::test {

namespace {

constexpr int kPollMs = 20;
constexpr int kMaxRequestBytes = 64 * 1024;
constexpr int kRequestWaitMs = 2000;

int BindLoopback(int& boundPort) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof(address);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    boundPort = ntohs(address.sin_port);
    return fd;
}

bool Readable(int fd, int milliseconds) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, milliseconds) > 0;
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<ScriptedReply> replies) : script(std::move(replies)) {
    listener = BindLoopback(port);
    if (listener >= 0 && listen(listener, 8) == 0)
        thread = std::thread(&LoopbackServer::Serve, this);
}

LoopbackServer::LoopbackServer(std::map<std::string, ScriptedReply> routes)
    : LoopbackServer(std::vector<ScriptedReply>{}) {
    routeTable = std::move(routes);
}

LoopbackServer::~LoopbackServer() {
    stopping = true;
    if (thread.joinable()) thread.join();
    if (listener >= 0) close(listener);
}

int LoopbackServer::ClosedPort() {
    int closedPort = 0;
    int fd = BindLoopback(closedPort);
    if (fd >= 0) close(fd);  // bound but never listening: connections are refused
    return closedPort;
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

std::vector<std::string> LoopbackServer::Requests() {
    std::lock_guard<std::mutex> lock(requestsMutex);
    return requests;
}

bool LoopbackServer::Pause(int milliseconds) {
    for (int waited = 0; waited < milliseconds && !stopping; waited += kPollMs)
        usleep(useconds_t(std::min(kPollMs, milliseconds - waited)) * 1000);
    return !stopping;
}

void LoopbackServer::Serve() {
    while (!stopping) {
        if (!Readable(listener, kPollMs)) continue;
        int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        size_t index = size_t(connections.fetch_add(1));
        std::string request = ReadRequest(client);
        {
            std::lock_guard<std::mutex> lock(requestsMutex);
            requests.push_back(request);
        }
        Answer(client, Pick(index, request));
        close(client);
    }
}

namespace {
std::string RequestPath(const std::string& request) {
    size_t start = request.find(' ');
    if (start == std::string::npos) return std::string();
    size_t end = request.find_first_of(" ?", start + 1);
    return request.substr(start + 1, end == std::string::npos ? end : end - start - 1);
}
}  // namespace

ScriptedReply LoopbackServer::Pick(size_t index, const std::string& request) const {
    if (script.empty() && routeTable.empty()) return ScriptedReply{};
    if (!script.empty()) return script[std::min(index, script.size() - 1)];
    auto route = routeTable.find(RequestPath(request));
    if (route != routeTable.end()) return route->second;
    return ScriptedReply{"HTTP/1.0 404 Not Found\r\n\r\nmissing"};
}

int LoopbackServer::RequestsFor(const std::string& path) {
    std::lock_guard<std::mutex> lock(requestsMutex);
    return int(std::count_if(requests.begin(), requests.end(),
                             [&](const std::string& r) { return RequestPath(r) == path; }));
}

std::string LoopbackServer::ReadRequest(int client) {
    std::string request;
    char buffer[1024];
    for (int waited = 0; waited < kRequestWaitMs && !stopping; waited += kPollMs) {
        if (request.find("\r\n\r\n") != std::string::npos || request.size() > kMaxRequestBytes)
            break;
        if (!Readable(client, kPollMs)) continue;
        ssize_t got = recv(client, buffer, sizeof(buffer), 0);
        if (got <= 0) break;
        request.append(buffer, size_t(got));
    }
    return request;
}

void LoopbackServer::Answer(int client, const ScriptedReply& reply) {
    if (reply.stall) {
        while (Pause(kPollMs)) {
        }
        return;
    }
    if (reply.delayMs > 0 && !Pause(reply.delayMs)) return;
    size_t chunk = reply.chunkBytes > 0 ? size_t(reply.chunkBytes) : reply.bytes.size();
    for (size_t sent = 0; sent < reply.bytes.size() && !stopping; sent += chunk) {
        size_t length = std::min(chunk, reply.bytes.size() - sent);
        if (send(client, reply.bytes.data() + sent, length, MSG_NOSIGNAL) < 0) return;
        if (reply.chunkDelayMs > 0 && !Pause(reply.chunkDelayMs)) return;
    }
}

}  // namespace Varn::test

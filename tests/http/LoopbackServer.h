// A scripted HTTP server on 127.0.0.1 for tests: it binds a free port (port 0),
// serves one connection at a time on a thread of its own, records each
// request and answers it with the next scripted reply (the last one repeats).
// Every wait is bounded and the destructor stops and joins the thread.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Varn::test {

struct ScriptedReply {
    std::string bytes;     // sent as they stand, then the connection is closed
    bool stall = false;    // accept, read the request, never answer
    int delayMs = 0;       // pause before the first byte
    int chunkBytes = 0;    // > 0: send in chunks of this size ...
    int chunkDelayMs = 0;  // ... with this pause between them
};

class LoopbackServer {
public:
    explicit LoopbackServer(std::vector<ScriptedReply> replies);
    // Answers by request path (query ignored); other paths get a 404.
    explicit LoopbackServer(std::map<std::string, ScriptedReply> routes);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port; }
    std::string Url(const std::string& path = "/") const;
    std::vector<std::string> Requests();
    // How many requests asked for this path.
    int RequestsFor(const std::string& path);
    int Connections() const { return connections.load(); }

    // A port on 127.0.0.1 where nothing listens.
    static int ClosedPort();

private:
    void Listen();
    void Serve();
    void Answer(int client, const ScriptedReply& reply);
    std::string ReadRequest(int client);
    bool Pause(int milliseconds);

    ScriptedReply Pick(size_t index, const std::string& request) const;

    std::vector<ScriptedReply> script;
    std::map<std::string, ScriptedReply> routeTable;
    int listener = -1;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<int> connections{0};
    std::mutex requestsMutex;
    std::vector<std::string> requests;
    std::thread thread;
};

}  // namespace Varn::test

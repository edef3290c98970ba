// A real HTTP server on 127.0.0.1 at a port the system picks, answering each path with a fixed
// reply (usually a recorded one from tests/fixtures) and remembering every request as it came.
// A stalled reply never answers until the server goes away, to stand for a slow service.
#ifndef NUMBERA_TESTS_LOCAL_WEB_SERVER_H
#define NUMBERA_TESTS_LOCAL_WEB_SERVER_H

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

class LocalWebServer {
  public:
    struct Reply {
        int status = 200;
        std::string body;
        std::string contentType = "text/plain";
        bool stall = false;
        std::string location;  // a Location header, for redirects
    };

    LocalWebServer();
    ~LocalWebServer();
    LocalWebServer(const LocalWebServer&) = delete;
    LocalWebServer& operator=(const LocalWebServer&) = delete;

    int port() const { return m_port; }
    std::string origin() const { return "http://127.0.0.1:" + std::to_string(m_port); }
    // The reply to every request for the path (the part before "?"); others get 404.
    void route(const std::string& path, Reply reply);
    // "path?query" of each request, in arrival order.
    std::vector<std::string> targets() const;
    void clearTargets();

    // A recorded reply: the fixture file's bytes.
    static Reply fixture(const std::string& name, int status = 200);
    static Reply stalled() {
        Reply reply;
        reply.stall = true;
        return reply;
    }
    static Reply text(int status, std::string body, std::string location = {}) {
        Reply reply;
        reply.status = status;
        reply.body = std::move(body);
        reply.location = std::move(location);
        return reply;
    }
    static std::string fixtureText(const std::string& name);
    // A port on 127.0.0.1 that nothing listens on.
    static int refusedPort();

  private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_release;
    bool m_stopping = false;
    std::map<std::string, Reply> m_routes;
    std::vector<std::string> m_targets;
};

#endif

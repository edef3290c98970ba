#include "LocalWebServer.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>

#include "ServicesTestSupport.h"

LocalWebServer::LocalWebServer() : m_server(std::make_unique<httplib::Server>()) {
    m_server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_targets.push_back(request.target);
        auto found = m_routes.find(request.path);
        if (found == m_routes.end()) {
            response.status = 404;
            response.set_content("not found", "text/plain");
            return;
        }
        const Reply reply = found->second;
        if (reply.stall) {
            m_release.wait(lock, [this] { return m_stopping; });
            return;
        }
        response.status = reply.status;
        if (!reply.location.empty()) response.set_header("Location", reply.location);
        response.set_content(reply.body, reply.contentType.c_str());
    });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // Listening starts on the server's own thread; wait for it, briefly.
    while (!m_server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LocalWebServer::~LocalWebServer() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_release.notify_all();
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
}

void LocalWebServer::route(const std::string& path, Reply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_routes[path] = std::move(reply);
}

std::vector<std::string> LocalWebServer::targets() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_targets;
}

void LocalWebServer::clearTargets() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_targets.clear();
}

std::string LocalWebServer::fixtureText(const std::string& name) {
    std::ifstream in(sourceDirectory() + "/tests/fixtures/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

LocalWebServer::Reply LocalWebServer::fixture(const std::string& name, int status) {
    Reply reply;
    reply.status = status;
    reply.body = fixtureText(name);
    if (name.ends_with(".json")) reply.contentType = "application/json";
    if (name.ends_with(".html")) reply.contentType = "text/html";
    if (name.ends_with(".csv")) reply.contentType = "text/csv";
    return reply;
}

int LocalWebServer::refusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 9;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int port = 9;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    // Bound but never listening: connections to it are refused while it stays open, and the
    // port is not handed out again meanwhile. Closed at exit.
    static std::vector<int> held;
    held.push_back(fd);
    return port;
}

// Test helper: an HTTP server on 127.0.0.1 and a free port, on a thread of its own. It keeps each
// request's head and answers every request with one status and body, or never answers (the
// connection stays open until the server goes).
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace morna::test {

class LocalHttpServer {
public:
    LocalHttpServer(int status, std::string body, bool answer = true)
        : listener_(Listen(port_)), thread_([=, this] { Serve(status, body, answer); }) {}
    ~LocalHttpServer() {
        ::shutdown(listener_, SHUT_RDWR);  // the waiting accept gives up
        thread_.join();
        ::close(listener_);
        for (int fd : held_) ::close(fd);
    }
    std::string Url() const { return Address(port_); }
    // A port nobody listens on: bound for a moment, then let go.
    static std::string RefusedUrl() {
        uint16_t port = 0;
        ::close(Listen(port));
        return Address(port);
    }
    // The heads of the requests so far; with wait, once there is one.
    std::vector<std::string> Requests(bool wait = false) {
        std::unique_lock<std::mutex> guard(lock_);
        seen_.wait(guard, [&] { return !wait || !requests_.empty(); });
        return requests_;
    }

private:
    static std::string Address(uint16_t port) { return "http://127.0.0.1:" + std::to_string(port) + "/version.txt"; }
    static int Listen(uint16_t& port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof a;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), size) != 0 || ::listen(fd, 8) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0)
            throw std::runtime_error("no local port");
        port = ntohs(a.sin_port);
        return fd;
    }
    void Serve(int status, const std::string& body, bool answer) {
        for (int c; (c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            std::string head;
            char buffer[512];
            for (ssize_t n; head.find("\r\n\r\n") == std::string::npos && (n = ::recv(c, buffer, sizeof buffer, 0)) > 0;)
                head.append(buffer, static_cast<size_t>(n));
            {
                std::lock_guard<std::mutex> guard(lock_);
                requests_.push_back(head);
            }
            seen_.notify_all();
            if (!answer) {
                held_.push_back(c);
                continue;
            }
            const std::string out = "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " +
                                    std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
            (void)!::send(c, out.data(), out.size(), MSG_NOSIGNAL);
            ::close(c);
        }
    }

    uint16_t port_ = 0;
    int listener_;
    std::vector<int> held_;  // connections never answered
    std::mutex lock_;
    std::condition_variable seen_;
    std::vector<std::string> requests_;
    std::thread thread_;  // last: it uses all of the above
};

}  // namespace morna::test

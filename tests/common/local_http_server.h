// Test helper: an HTTP server on 127.0.0.1 and a free port, on a thread of its own. It keeps each
// request's head and answers every request with one status and body, or never answers (the
// connection stays open until the server goes).
#pragma once

#include <netinet/in.h>
#include <poll.h>
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
        : status_(status), body_(std::move(body)), answer_(answer), listener_(Listen(port_)) {
        if (::pipe(stop_) != 0) throw std::runtime_error("no pipe");
        thread_ = std::thread([this] { Serve(); });
    }
    ~LocalHttpServer() {
        (void)!::write(stop_[1], "x", 1);
        thread_.join();
        for (int fd : {listener_, stop_[0], stop_[1]}) ::close(fd);
        for (int fd : open_) ::close(fd);
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/version.txt"; }
    // A port nobody listens on: bound for a moment, then let go.
    static std::string RefusedUrl() {
        uint16_t port = 0;
        ::close(Listen(port));
        return "http://127.0.0.1:" + std::to_string(port) + "/version.txt";
    }
    // The heads of the requests so far; with wait, once there is one.
    std::vector<std::string> Requests(bool wait = false) {
        std::unique_lock<std::mutex> guard(lock_);
        seen_.wait(guard, [&] { return !wait || !requests_.empty(); });
        return requests_;
    }

private:
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
    bool Readable(int fd) {  // false once the server is to stop
        pollfd p[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        while (::poll(p, 2, -1) < 0) {
        }
        return (p[1].revents & POLLIN) == 0;
    }
    void Serve() {
        while (Readable(listener_)) {
            const int c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            std::string head;
            char buffer[512];
            for (ssize_t n = 1; c >= 0 && n > 0 && head.find("\r\n\r\n") == std::string::npos && Readable(c);)
                if ((n = ::recv(c, buffer, sizeof buffer, 0)) > 0) head.append(buffer, static_cast<size_t>(n));
            if (c < 0) continue;
            {
                std::lock_guard<std::mutex> guard(lock_);
                requests_.push_back(head);
            }
            seen_.notify_all();
            if (!answer_) {
                open_.push_back(c);
                continue;
            }
            const std::string out = "HTTP/1.1 " + std::to_string(status_) + " X\r\nContent-Length: " +
                                    std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_;
            (void)!::send(c, out.data(), out.size(), MSG_NOSIGNAL);
            ::close(c);
        }
    }

    int status_;
    std::string body_;
    bool answer_;
    uint16_t port_ = 0;
    int listener_;
    int stop_[2] = {-1, -1};
    std::thread thread_;
    std::vector<int> open_;  // connections never answered
    std::mutex lock_;
    std::condition_variable seen_;
    std::vector<std::string> requests_;
};

}  // namespace morna::test

#pragma once
// One HTTP GET over libcurl: the stand-in for the internet service the update check calls.
// The body is cut at a given size, the request gives up after a time limit, and another thread
// can let it go at once through its HttpCancel.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace morna::platform {

struct HttpGetRequest {
    std::string url;        // http or https (redirects too)
    std::string userAgent;
    size_t maxBodyBytes = 0;  // the body is read up to here, the rest is never asked for
    uint32_t timeoutMs = 10000;
    bool noCache = false;  // caches on the way answer from the server, not from their copy
};

struct HttpAnswer {
    int32_t status = 0;  // the HTTP status of the last response
    std::string body;    // at most maxBodyBytes
};

// Lets a running HttpGet go at once, from any thread. Once cancelled it stays so until Reset.
class HttpCancel {
public:
    void Cancel();
    bool IsCancelled();
    void Reset();

private:
    friend bool HttpGet(const HttpGetRequest&, HttpAnswer&, HttpCancel*, std::string*);
    // The request's wake-up while it runs; false when it was cancelled already.
    bool Attach(void* multi);
    void Detach();

    std::mutex lock_;
    void* multi_ = nullptr;
    bool cancelled_ = false;
};

// True when a response with a 2xx status came (its first maxBodyBytes body bytes in
// answer.body). False, with the reason in *error, when the address is empty or not
// http(s), the connection failed, the time ran out, the request was cancelled, or the
// status was not 2xx.
bool HttpGet(const HttpGetRequest& request, HttpAnswer& answer, HttpCancel* cancel = nullptr,
             std::string* error = nullptr);

}  // namespace morna::platform

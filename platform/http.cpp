#include "platform/http.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace morna::platform {
namespace {

struct Body {
    std::string* out;
    size_t limit;
    bool cut = false;  // the limit was reached and the transfer stopped on purpose
};

size_t WriteBody(char* data, size_t size, size_t count, void* context) {
    auto* body = static_cast<Body*>(context);
    const size_t bytes = size * count;
    const size_t room = body->limit - body->out->size();
    body->out->append(data, std::min(bytes, room));
    if (bytes > room) {
        body->cut = true;
        return 0;  // less than given: curl stops reading
    }
    return bytes;
}

void InitCurl() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)ok;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
}

}  // namespace

void HttpCancel::Cancel() {
    std::lock_guard<std::mutex> guard(lock_);
    cancelled_ = true;
    if (multi_ != nullptr) curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

bool HttpCancel::IsCancelled() {
    std::lock_guard<std::mutex> guard(lock_);
    return cancelled_;
}

void HttpCancel::Reset() {
    std::lock_guard<std::mutex> guard(lock_);
    cancelled_ = false;
}

bool HttpCancel::Attach(void* multi) {
    std::lock_guard<std::mutex> guard(lock_);
    if (cancelled_) return false;
    multi_ = multi;
    return true;
}

void HttpCancel::Detach() {
    std::lock_guard<std::mutex> guard(lock_);
    multi_ = nullptr;
}

bool HttpGet(const HttpGetRequest& request, HttpAnswer& answer, HttpCancel* cancel, std::string* error) {
    answer = HttpAnswer();
    if (request.url.empty()) return Fail(error, "no address");
    InitCurl();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!easy || !multi) return Fail(error, "libcurl could not start a request");
    std::unique_ptr<curl_slist, ListDeleter> headers;
    if (request.noCache) {
        headers.reset(curl_slist_append(nullptr, "Cache-Control: no-cache"));
        if (headers) curl_slist_append(headers.get(), "Pragma: no-cache");
    }
    Body body{&answer.body, request.maxBodyBytes};
    CURL* e = easy.get();
    curl_easy_setopt(e, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(e, CURLOPT_USERAGENT, request.userAgent.c_str());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeoutMs));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);  // a thread of a program with threads
    curl_easy_setopt(e, CURLOPT_QUICK_EXIT, 1L);  // a cancelled name lookup is not waited for
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &body);
    if (curl_multi_add_handle(multi.get(), e) != CURLM_OK) return Fail(error, "libcurl could not start a request");

    bool cancelled = cancel != nullptr && !cancel->Attach(multi.get());
    int running = 1;
    while (!cancelled && running > 0) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) break;
        if (running > 0) curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
        cancelled = cancel != nullptr && cancel->IsCancelled();
    }
    if (cancel != nullptr) cancel->Detach();

    CURLcode result = CURLE_FAILED_INIT;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) result = message->data.result;
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    answer.status = static_cast<int32_t>(status);
    curl_multi_remove_handle(multi.get(), e);
    if (cancelled) return Fail(error, "cancelled");
    if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && body.cut)) return Fail(error, curl_easy_strerror(result));
    if (status < 200 || status > 299) return Fail(error, "HTTP status " + std::to_string(status));
    return true;
}

}  // namespace morna::platform

#include "axserver/download/url_reader.h"

#include <strings.h>

#include <algorithm>

namespace vexa {

namespace {

constexpr int32_t kOpenedWithoutStatus = 200;

// The state of one read, shared with libcurl's callbacks. The callbacks are C functions: they
// call only the sink (noexcept) and libcurl's getters.
struct Reading {
    CURL* handle;
    ReadSink& sink;
    const std::atomic<bool>& cancel;
    bool opened = false;
    bool stopped = false;
};

bool hasHttpStatus(CURL* handle) {
    const char* scheme = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_SCHEME, &scheme) != CURLE_OK || scheme == nullptr) {
        return false;
    }
    return strcasecmp(scheme, "http") == 0 || strcasecmp(scheme, "https") == 0;
}

// The status of the answer in hand: the HTTP status code, 200 for schemes without one.
int32_t statusOf(CURL* handle) {
    if (!hasHttpStatus(handle)) {
        return kOpenedWithoutStatus;
    }
    long code = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int32_t>(code);
}

// Reports the opening once; false when the sink stopped the read there.
bool open(Reading& reading) {
    if (!reading.opened) {
        reading.opened = true;
        if (!reading.sink.opened(statusOf(reading.handle))) {
            reading.stopped = true;
            return false;
        }
    }
    return true;
}

size_t onBody(char* data, size_t size, size_t count, void* context) {
    auto& reading = *static_cast<Reading*>(context);
    const size_t bytes = size * count;
    if (!open(reading)) {
        return CURL_WRITEFUNC_ERROR;
    }
    for (size_t done = 0; done < bytes; done += kReadBlockSize) {
        if (!reading.sink.block({data + done, std::min(kReadBlockSize, bytes - done)})) {
            reading.stopped = true;
            return CURL_WRITEFUNC_ERROR;
        }
    }
    return bytes;
}

int onProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Reading*>(context)->cancel.load() ? 1 : 0;
}

bool configure(CURL* handle, const std::string& address, Reading& reading) {
    const long receiveBuffer = kReceiveBufferSize;
    const long connectTimeout = static_cast<long>(kConnectTimeout.count());
    const long stallTimeout = static_cast<long>(kStallTimeout.count());
    curl_easy_reset(handle);
    return curl_easy_setopt(handle, CURLOPT_URL, address.c_str()) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,ftp,file") == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, receiveBuffer) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, connectTimeout) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, stallTimeout) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &onBody) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_WRITEDATA, &reading) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &onProgress) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &reading) == CURLE_OK &&
           curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
}

// An http(s) answer whose head arrived counts as opened even when the transfer failed later.
bool headArrived(CURL* handle) {
    long code = 0;
    return hasHttpStatus(handle) &&
           curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK && code != 0;
}

}  // namespace

ReadEnd readAddress(const kinvo::curl::Easy& handle, const std::string& address, ReadSink& sink,
                    const std::atomic<bool>& cancel) noexcept {
    Reading reading{handle.get(), sink, cancel};
    if (address.find("://") == std::string::npos || !configure(handle.get(), address, reading)) {
        return ReadEnd::kNotOpened;
    }
    const CURLcode result = curl_easy_perform(handle.get());
    if (reading.stopped) {
        return ReadEnd::kStopped;
    }
    if (!reading.opened) {
        if (result != CURLE_OK && !headArrived(handle.get())) {
            return ReadEnd::kNotOpened;
        }
        if (!open(reading)) {
            return ReadEnd::kStopped;
        }
    }
    return result == CURLE_OK ? ReadEnd::kComplete : ReadEnd::kReadFailed;
}

}  // namespace vexa

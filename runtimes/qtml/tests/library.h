#pragma once
// The runtime library as the tests reach it: loaded once with dlopen from the build's program
// folder, as the plug-in loads it, and called through its dispatcher; test media made by the
// ffmpeg tool and FFmpeg's own view of them (ffprobe).

#include <cstdint>
#include <map>
#include <string>
#include <type_traits>

#include "runtimes/qtml/include/qtml/qtml.h"
#include "runtimes/qtml/movie/tests/ffprobe.h"

namespace kinvo::qtml::testing {

struct Library {
    QtmlDispatcher dispatcher = nullptr;
    QtmlCallComponent callComponent = nullptr;
    QtmlCallWithStorage callWithStorage = nullptr;
};
// Fails the calling test (and answers null entry points) when the library does not load.
const Library& library();

template <typename T>
intptr_t arg(T value) {
    if constexpr (std::is_null_pointer_v<T>) {
        return 0;
    } else if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<intptr_t>(value);
    } else {
        return static_cast<intptr_t>(value);
    }
}
template <typename... A>
intptr_t call(uint32_t selector, A... args) {
    return library().dispatcher(selector, arg(args)...);
}

// A handle holding `text` and its terminating zero.
intptr_t textHandle(const std::string& text);
// Opens `address` as a movie ('url ' reference); the movie, or 0 with `error` set.
intptr_t openMovie(const std::string& address, uint32_t flags, intptr_t* error = nullptr);

// Makes `name` in the tests' temporary folder with the ffmpeg tool (its inputs and options in
// `arguments`) once; answers its path.
std::string media(const std::string& name, const std::string& arguments);

}  // namespace kinvo::qtml::testing

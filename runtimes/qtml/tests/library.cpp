#include "runtimes/qtml/tests/library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace kinvo::qtml::testing {
namespace {

class Folder {
  public:
    Folder() {
        char pattern[] = "/tmp/qtml_runtime_test.XXXXXX";
        path_ = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

Library load() {
    Library loaded;
    void* handle = dlopen(QTML_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        ADD_FAILURE() << dlerror();
        return loaded;
    }
    loaded.dispatcher = reinterpret_cast<QtmlDispatcher>(dlsym(handle, QTML_ENTRY_DISPATCHER));
    loaded.callComponent =
        reinterpret_cast<QtmlCallComponent>(dlsym(handle, QTML_ENTRY_CALL_COMPONENT));
    loaded.callWithStorage =
        reinterpret_cast<QtmlCallWithStorage>(dlsym(handle, QTML_ENTRY_CALL_WITH_STORAGE));
    return loaded;
}

}  // namespace

const Library& library() {
    static const Library loaded = load();
    if (loaded.dispatcher == nullptr) {
        ADD_FAILURE() << "no dispatcher in " << QTML_LIBRARY_PATH;
    }
    return loaded;
}

intptr_t textHandle(const std::string& text) {
    const intptr_t handle = call(QTML_NEW_HANDLE, text.size() + 1);
    if (handle != 0) {
        call(QTML_COPY_BYTES, text.c_str(), *reinterpret_cast<char**>(handle), text.size() + 1);
    }
    return handle;
}

intptr_t openMovie(const std::string& address, uint32_t flags, intptr_t* error) {
    const intptr_t handle = textHandle(address);
    intptr_t movie = 0;
    const intptr_t answer = call(QTML_NEW_MOVIE_FROM_REF, &movie, flags, 0, handle, QTML_REF_URL);
    call(QTML_DISPOSE_HANDLE, handle);
    if (error != nullptr) {
        *error = answer;
    }
    return movie;
}

std::string media(const std::string& name, const std::string& arguments) {
    static const Folder folder;
    const std::string file = folder.path() + "/" + name;
    if (!std::filesystem::exists(file)) {
        const std::string command = "ffmpeg -nostdin -y -v error " + arguments + " '" + file + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return file;
}

}  // namespace kinvo::qtml::testing

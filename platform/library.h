#pragma once
// Libraries loaded at run time (LoadLibrary, GetProcAddress, FreeLibrary) over dlopen.
//
// Names: a name ending in ".dll" (any case) stands for the ".so" of the same stem; within its
// folder the file is found without regard to case ("IN_FOO.DLL" loads "in_foo.so"); other names
// ("QuickTime.qts") keep their ending. A bare name is looked for in the program's own folder
// first, then where the dynamic loader looks.
//
// Failures answer nullopt / nullptr (the reason goes to the debug trace); nothing throws. A
// Library is used by one thread at a time; the process's loader itself is thread-safe.

#include <optional>
#include <string>
#include <string_view>

namespace win {

class Library {
  public:
    static std::optional<Library> load(std::string_view name);
    // A library of that file name (compared without regard to case, with the ".dll" rule) that
    // the process has loaded already, with one more reference to it.
    static std::optional<Library> findLoaded(std::string_view name);

    Library(Library&& other) noexcept;
    Library& operator=(Library&& other) noexcept;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library() { free(); }

    // The address of an exported symbol; nullptr when it is missing.
    void* symbol(const char* name) const;
    template <typename Function>
    Function function(const char* name) const {
        return reinterpret_cast<Function>(symbol(name));
    }
    // The file the library was loaded from (GetModuleFileName of its handle).
    const std::string& path() const { return path_; }
    // Drops this reference (the library unloads with its last one).
    void free() noexcept;

  private:
    Library(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}
    void* handle_ = nullptr;
    std::string path_;
};

// The ".dll" rule on a name: "out_qsnd.dll" -> "out_qsnd.so".
std::string libraryFileName(std::string_view name);

}  // namespace win

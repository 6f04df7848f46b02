#pragma once
// libcurl's process-wide state. curl_global_init is not safe to race with any other libcurl
// call, so every user keeps one Global alive for as long as it makes or uses easy handles:
// construct it first (on any thread), destroy it after its last handle. The first Global of the
// process initialises libcurl, later ones share that state, and the last one to go cleans it up;
// a mutex orders them. ok() is false when initialisation failed (then no handle may be made).
// Move-only; never throws.

namespace kinvo::curl {

class Global {
  public:
    Global() noexcept;
    Global(Global&& other) noexcept;
    Global& operator=(Global&& other) noexcept;
    Global(const Global&) = delete;
    Global& operator=(const Global&) = delete;
    ~Global();

    bool ok() const noexcept { return ok_; }

  private:
    void release() noexcept;
    bool ok_ = false;
};

}  // namespace kinvo::curl

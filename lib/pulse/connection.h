#pragma once
// A connection to the sound server (PulseAudio, or PipeWire through its PulseAudio service)
// through libpulse, driven by a private main loop that runs only inside connect and wait: there
// is no thread of its own, and the library's callbacks run on the caller's thread, inside those
// calls.
//
// Error policy: every failure is a Status, never an exception; nothing is reported. No call
// ever starts a sound server. Callbacks handed to libpulse are plain functions that must not
// throw (an exception cannot cross the library's C frames); they only store what they are given
// for the waiting caller to read.
//
// Threading contract: a Connection belongs to the thread that uses it; it is not safe to share
// without the caller's own lock. Calls block for at most the deadline they are given.

#include "lib/pulse/handles.h"

#include <chrono>

namespace kinvo::pulse {

using Clock = std::chrono::steady_clock;

enum class Status {
    Ok,
    NoServer,  // no main loop or context could be made, or the server refused or isn't there
    TimedOut,  // the deadline passed first
    Lost,      // the connection failed while waiting
    Failed,    // the operation could not be started or was cancelled
};

class Connection {
  public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects as clientName to the server the environment and the client configuration name,
    // waiting until it is ready.
    Status connect(const char* clientName, Clock::time_point deadline);

    // Takes operation (null when libpulse refused to start it) and runs the loop until it is
    // done; its callback has then run.
    Status wait(pa_operation* operation, Clock::time_point deadline);

    // The context, for starting operations; null before a successful connect.
    pa_context* context() const { return context_.get(); }

  private:
    Status iterate(Clock::time_point deadline);

    Mainloop loop_;  // freed after the context (members go in reverse order)
    Context context_;
};

}  // namespace kinvo::pulse

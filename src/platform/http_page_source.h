#pragma once
// The page source that fetches documentation pages over HTTP: WinHTTP on Windows, libcurl elsewhere.
// Each source owns one worker thread that runs its requests, so Navigate never blocks the caller.
// Redirects are followed. A connection failure, a time-out or a status of 400 or more ends the load as
// failed with a short reason: "HTTP 500", "time-out", "connection refused", "host not found", ...
// The body is decoded as the browser control's page text is: the system's ANSI code page on Windows,
// Windows-1252 elsewhere.

#include <chrono>
#include <functional>
#include <memory>

#include "platform/page_source.h"

namespace korvane {

inline constexpr std::chrono::milliseconds kHttpTimeout{30000};

// `onLoad` receives the end of each load on the source's worker thread, so it must be thread-safe; it is
// called with the source's lock held, so it must only hand the value on, not call the source back.
// `timeout` bounds a whole load, redirects included. Destroying the source cancels a running load and
// waits for the worker; nothing is posted after the destructor has returned.
std::unique_ptr<PageSource> MakeHttpPageSource(PageLoadHandler onLoad,
                                               std::chrono::milliseconds timeout = kHttpTimeout);

}  // namespace korvane

#pragma once
// A small HTTP server on 127.0.0.1, for serving pages to the program's own HTTP clients: the tests run
// the page sources against it, and the command line serves the documentation set with it. It answers one
// request per connection, GET only, from a handler; nothing outside the machine can reach it.
// One thread waits on every connection at once and hands each request to the handler as soon as it is
// complete, so a client that is slow to send its request, or to read its reply, holds up no other; the
// handler itself is called for one request at a time, on a thread of its own. Each connection has a
// deadline, and when the connections reach their bound the oldest one still sending its request is
// closed, so a new client always gets in.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace korvane {

struct HttpReply {
  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // e.g. {"Location", "/next"}
  bool hang = false;  // send nothing and keep the connection open until the server stops
};

// Receives the request target as sent: the path and the query ("/search?q=MessageBox").
using HttpHandler = std::function<HttpReply(const std::string& target)>;

class LocalHttpServer {
 public:
  // Listens on 127.0.0.1:`port`, or on a free port for 0; nullptr when the port cannot be had.
  static std::unique_ptr<LocalHttpServer> Start(HttpHandler handler, int port = 0);

  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by `target`.
  std::string Address(const std::string& target) const;

  // Stops answering, closes every connection (hanging ones too) and the port. Called by the destructor.
  void Stop();

 private:
  enum class Stage { kReading, kHandling, kWriting, kHanging };
  struct Connection {
    std::intptr_t socket;
    Stage stage = Stage::kReading;
    std::chrono::steady_clock::time_point deadline;
    std::string bytes;      // the request while reading, the rest of the reply while writing
    std::size_t sent = 0;   // of the reply
  };

  LocalHttpServer(HttpHandler handler, std::intptr_t listener, int port);
  void Serve();
  void Handle();
  void AcceptWaiting();
  void ReadFrom(std::uint64_t id, Connection& connection);
  void WriteTo(Connection& connection);
  void CloseExpired();

  HttpHandler handler_;
  std::intptr_t listener_;
  int port_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;  // guards the three below
  std::condition_variable requested_;
  std::map<std::uint64_t, Connection> connections_;                   // by when they were accepted
  std::deque<std::pair<std::uint64_t, std::string>> requests_;        // complete, for the handler
  std::uint64_t nextId_ = 0;
  std::thread handlerThread_;
  std::thread thread_;
};

}  // namespace korvane

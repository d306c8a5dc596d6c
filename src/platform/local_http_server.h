#pragma once
// A small HTTP server on 127.0.0.1, for serving pages to the program's own HTTP clients: the tests run
// the page sources against it, and the command line serves the documentation set with it. It answers one
// request per connection, GET only, from a handler; nothing outside the machine can reach it. A few
// connections are served at once, so a client that is slow to send its request holds up no other; the
// handler itself is called for one request at a time.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
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
  LocalHttpServer(HttpHandler handler, std::intptr_t listener, int port);
  void Serve();
  void Work();
  void Answer(std::intptr_t connection);

  HttpHandler handler_;
  std::intptr_t listener_;
  int port_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;                      // guards the three below
  std::condition_variable accepted_;
  std::deque<std::intptr_t> waiting_;     // accepted, not yet taken by a worker
  std::vector<std::intptr_t> hanging_;
  std::mutex handlerMutex_;               // one handler call at a time
  std::vector<std::thread> workers_;
  std::thread thread_;
};

}  // namespace korvane

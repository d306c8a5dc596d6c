#include "platform/local_http_server.h"

#include <chrono>

#include "platform/local_socket.h"

namespace korvane {
namespace {

using local_socket::Socket;

constexpr int kPollMilliseconds = 50;         // how soon the server notices Stop
constexpr auto kRequestTime = std::chrono::seconds(5);  // a client gets this long to send its request
constexpr std::size_t kMaxRequestBytes = 64 * 1024;
constexpr std::size_t kWorkers = 8;           // connections served at once
constexpr std::size_t kMaxWaiting = 64;       // accepted connections beyond these are closed at once

const char* StatusText(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 500: return "Internal Server Error";
    default: return "Status";
  }
}

std::string Format(const HttpReply& reply) {
  std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " " + StatusText(reply.status) + "\r\n";
  text += "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n";
  for (const auto& [name, value] : reply.headers) text += name + ": " + value + "\r\n";
  text += "\r\n";
  text += reply.body;
  return text;
}

// The request line's target, or empty when the request is not a GET. An absolute target
// ("http://127.0.0.1:8080/a") is reduced to its path.
std::string GetTarget(const std::string& request) {
  const std::size_t lineEnd = request.find("\r\n");
  const std::string line = request.substr(0, lineEnd);
  const std::size_t first = line.find(' ');
  const std::size_t second = line.find(' ', first + 1);
  if (first == std::string::npos || second == std::string::npos || line.substr(0, first) != "GET") return {};
  std::string target = line.substr(first + 1, second - first - 1);
  if (target.rfind("http://", 0) == 0) {
    const std::size_t path = target.find('/', 7);
    target = path == std::string::npos ? "/" : target.substr(path);
  }
  return target;
}

}  // namespace

std::unique_ptr<LocalHttpServer> LocalHttpServer::Start(HttpHandler handler, int port) {
  int chosen = 0;
  const Socket listener = local_socket::ListenLoopback(port, chosen);
  if (listener == local_socket::kNoSocket) return nullptr;
  return std::unique_ptr<LocalHttpServer>(new LocalHttpServer(std::move(handler), listener, chosen));
}

LocalHttpServer::LocalHttpServer(HttpHandler handler, std::intptr_t listener, int port)
    : handler_(std::move(handler)), listener_(listener), port_(port) {
  for (std::size_t i = 0; i < kWorkers; ++i) workers_.emplace_back([this] { Work(); });
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() { Stop(); }

std::string LocalHttpServer::Address(const std::string& target) const {
  return "http://127.0.0.1:" + std::to_string(port_) + target;
}

void LocalHttpServer::Stop() {
  if (!thread_.joinable()) return;
  stopping_ = true;
  thread_.join();
  {
    const std::lock_guard lock(mutex_);
    accepted_.notify_all();
  }
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
  for (const Socket connection : waiting_) local_socket::Close(connection);
  waiting_.clear();
  for (const Socket connection : hanging_) local_socket::Close(connection);
  hanging_.clear();
  local_socket::Close(listener_);
}

// Accepts connections and hands them to the workers. A client that connects and waits holds one worker
// until its request time is up; beyond the waiting bound, new connections are closed rather than queued
// without end.
void LocalHttpServer::Serve() {
  while (!stopping_) {
    if (!local_socket::WaitReadable(listener_, kPollMilliseconds)) continue;
    const Socket connection = local_socket::Accept(listener_);
    if (connection == local_socket::kNoSocket) continue;
    std::unique_lock lock(mutex_);
    if (waiting_.size() >= kMaxWaiting) {
      lock.unlock();
      local_socket::Close(connection);
      continue;
    }
    waiting_.push_back(connection);
    accepted_.notify_one();
  }
}

void LocalHttpServer::Work() {
  for (;;) {
    std::unique_lock lock(mutex_);
    accepted_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
    if (stopping_) return;
    const Socket connection = waiting_.front();
    waiting_.pop_front();
    lock.unlock();
    Answer(connection);
  }
}

void LocalHttpServer::Answer(std::intptr_t connection) {
  std::string request;
  const auto deadline = std::chrono::steady_clock::now() + kRequestTime;
  while (request.find("\r\n\r\n") == std::string::npos) {
    if (stopping_ || request.size() > kMaxRequestBytes || std::chrono::steady_clock::now() > deadline) {
      local_socket::Close(connection);
      return;
    }
    if (!local_socket::WaitReadable(connection, kPollMilliseconds)) continue;
    char buffer[4096];
    const int received = local_socket::Receive(connection, buffer, sizeof buffer);
    if (received <= 0) {
      local_socket::Close(connection);
      return;
    }
    request.append(buffer, static_cast<std::size_t>(received));
  }
  const std::string target = GetTarget(request);
  HttpReply reply{405, {}, {}, false};
  if (!target.empty()) {
    const std::lock_guard lock(handlerMutex_);
    reply = handler_(target);
  }
  if (reply.hang) {
    const std::lock_guard lock(mutex_);
    hanging_.push_back(connection);
    return;
  }
  local_socket::SendAll(connection, Format(reply));
  local_socket::Close(connection);
}

}  // namespace korvane

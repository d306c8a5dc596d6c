#include "platform/local_http_server.h"

#include <chrono>
#include <vector>

#include "platform/local_socket.h"

namespace korvane {
namespace {

using local_socket::Socket;
using Clock = std::chrono::steady_clock;

constexpr int kPollMilliseconds = 50;                     // how soon the server notices Stop
constexpr auto kRequestTime = std::chrono::seconds(5);   // a client gets this long to send its request
constexpr auto kReplyTime = std::chrono::seconds(10);    // and this long to take its reply
constexpr std::size_t kMaxRequestBytes = 64 * 1024;
constexpr std::size_t kMaxConnections = 256;             // open at once; beyond, the oldest reader goes

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
  handlerThread_ = std::thread([this] { Handle(); });
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
    requested_.notify_all();
  }
  handlerThread_.join();
  for (const auto& [id, connection] : connections_) local_socket::Close(connection.socket);
  connections_.clear();
  requests_.clear();
  local_socket::Close(listener_);
}

// Waits on the listener and on every connection that is reading its request or writing its reply;
// the mutex is let go while waiting, so that the handler thread can hand back replies.
void LocalHttpServer::Serve() {
  std::vector<local_socket::WaitEntry> entries;
  std::vector<std::uint64_t> ids;
  while (!stopping_) {
    entries.assign(1, local_socket::WaitEntry{listener_, false, false});
    ids.assign(1, 0);
    {
      const std::lock_guard lock(mutex_);
      for (const auto& [id, connection] : connections_) {
        if (connection.stage != Stage::kReading && connection.stage != Stage::kWriting) continue;
        entries.push_back(local_socket::WaitEntry{connection.socket, connection.stage == Stage::kWriting, false});
        ids.push_back(id);
      }
    }
    local_socket::WaitAny(entries, kPollMilliseconds);
    const std::lock_guard lock(mutex_);
    for (std::size_t i = 1; i < entries.size(); ++i) {
      if (!entries[i].ready) continue;
      const auto found = connections_.find(ids[i]);
      if (found == connections_.end()) continue;
      if (found->second.stage == Stage::kReading) ReadFrom(found->first, found->second);
      else if (found->second.stage == Stage::kWriting) WriteTo(found->second);
    }
    if (entries[0].ready) AcceptWaiting();
    CloseExpired();
  }
}

// Takes every connection that waits to be accepted. At the bound, the connection that has been sending
// its request the longest makes room: an idle client cannot keep the next one out.
void LocalHttpServer::AcceptWaiting() {
  for (;;) {
    const Socket socket = local_socket::Accept(listener_);
    if (socket == local_socket::kNoSocket) return;
    if (connections_.size() >= kMaxConnections) {
      for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        if (it->second.stage != Stage::kReading) continue;
        local_socket::Close(it->second.socket);
        connections_.erase(it);
        break;
      }
    }
    if (connections_.size() >= kMaxConnections) {
      local_socket::Close(socket);  // every slot is being answered
      continue;
    }
    connections_.emplace(nextId_++, Connection{socket, Stage::kReading, Clock::now() + kRequestTime, {}, 0});
  }
}

void LocalHttpServer::ReadFrom(std::uint64_t id, Connection& connection) {
  char buffer[4096];
  const int received = local_socket::Receive(connection.socket, buffer, sizeof buffer);
  if (received == local_socket::kWouldBlock) return;
  if (received <= 0 || connection.bytes.size() + static_cast<std::size_t>(received) > kMaxRequestBytes) {
    local_socket::Close(connection.socket);
    connections_.erase(id);
    return;
  }
  // The end of the head may straddle two reads: look from just before the new bytes.
  const std::size_t from = connection.bytes.size() < 3 ? 0 : connection.bytes.size() - 3;
  connection.bytes.append(buffer, static_cast<std::size_t>(received));
  if (connection.bytes.find("\r\n\r\n", from) == std::string::npos) return;
  connection.stage = Stage::kHandling;
  requests_.emplace_back(id, std::move(connection.bytes));
  connection.bytes.clear();
  requested_.notify_one();
}

void LocalHttpServer::WriteTo(Connection& connection) {
  while (connection.sent < connection.bytes.size()) {
    const int sent = local_socket::Send(connection.socket, std::string_view(connection.bytes).substr(connection.sent));
    if (sent == local_socket::kWouldBlock) return;
    if (sent <= 0) break;
    connection.sent += static_cast<std::size_t>(sent);
  }
  // All sent, or the client went away: either way the connection is done. Closed here, and erased
  // below with the expired ones, so that its socket is never waited on again.
  local_socket::Close(connection.socket);
  connection.socket = local_socket::kNoSocket;
}

// Connections past their deadline (and those WriteTo finished) are closed; hanging ones stay.
void LocalHttpServer::CloseExpired() {
  const auto now = Clock::now();
  for (auto it = connections_.begin(); it != connections_.end();) {
    Connection& connection = it->second;
    const bool timed = connection.stage == Stage::kReading || connection.stage == Stage::kWriting;
    if (connection.socket == local_socket::kNoSocket) {
      it = connections_.erase(it);
    } else if (timed && now > connection.deadline) {
      local_socket::Close(connection.socket);
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

// Calls the handler for each complete request in turn, and puts the reply on its way: as much as the
// socket takes at once is sent here, the rest by the waiting thread.
void LocalHttpServer::Handle() {
  for (;;) {
    std::unique_lock lock(mutex_);
    requested_.wait(lock, [this] { return stopping_ || !requests_.empty(); });
    if (stopping_) return;
    const auto [id, request] = std::move(requests_.front());
    requests_.pop_front();
    lock.unlock();
    const std::string target = GetTarget(request);
    const HttpReply reply = target.empty() ? HttpReply{405, {}, {}, false} : handler_(target);
    lock.lock();
    const auto found = connections_.find(id);
    if (found == connections_.end()) continue;
    Connection& connection = found->second;
    if (reply.hang) {
      connection.stage = Stage::kHanging;
      continue;
    }
    connection.stage = Stage::kWriting;
    connection.deadline = Clock::now() + kReplyTime;
    connection.bytes = Format(reply);
    connection.sent = 0;
    WriteTo(connection);
  }
}

}  // namespace korvane

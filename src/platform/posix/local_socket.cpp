#include "platform/local_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace korvane::local_socket {
namespace {

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

}  // namespace

Socket ListenLoopback(int port, int& chosen) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return kNoSocket;
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);  // a restarted server gets its port back
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  socklen_t length = sizeof address;
  // A long queue, so that many clients connecting at once wait for the server rather than retry.
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, SOMAXCONN) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    return kNoSocket;
  }
  chosen = ntohs(address.sin_port);
  return fd;
}

void WaitAny(std::span<WaitEntry> entries, int milliseconds) {
  std::vector<pollfd> polled;
  polled.reserve(entries.size());
  for (const WaitEntry& entry : entries) {
    polled.push_back(pollfd{static_cast<int>(entry.socket), static_cast<short>(entry.write ? POLLOUT : POLLIN), 0});
  }
  const int count = poll(polled.data(), polled.size(), milliseconds);
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i].ready = count > 0 && polled[i].revents != 0;
}

Socket Accept(Socket listener) {
  const int fd = accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  return fd < 0 ? kNoSocket : fd;
}

int Receive(Socket socket, char* buffer, int size) {
  const ssize_t got = recv(static_cast<int>(socket), buffer, static_cast<std::size_t>(size), 0);
  if (got < 0) return WouldBlock() ? kWouldBlock : -1;
  return static_cast<int>(got);
}

int Send(Socket socket, std::string_view bytes) {
  const std::size_t chunk = bytes.size() > INT_MAX ? INT_MAX : bytes.size();
  // MSG_NOSIGNAL: a client that went away must not kill the process with SIGPIPE.
  const ssize_t sent = send(static_cast<int>(socket), bytes.data(), chunk, MSG_NOSIGNAL);
  if (sent < 0) return WouldBlock() ? kWouldBlock : -1;
  return static_cast<int>(sent);
}

void Close(Socket socket) { close(static_cast<int>(socket)); }

}  // namespace korvane::local_socket

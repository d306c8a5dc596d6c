#include "platform/local_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane::local_socket {

Socket ListenLoopback(int port, int& chosen) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return kNoSocket;
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);  // a restarted server gets its port back
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    return kNoSocket;
  }
  chosen = ntohs(address.sin_port);
  return fd;
}

bool WaitReadable(Socket socket, int milliseconds) {
  pollfd entry{static_cast<int>(socket), POLLIN, 0};
  return poll(&entry, 1, milliseconds) > 0;
}

Socket Accept(Socket listener) {
  const int fd = accept4(static_cast<int>(listener), nullptr, nullptr, SOCK_CLOEXEC);
  return fd < 0 ? kNoSocket : fd;
}

int Receive(Socket socket, char* buffer, int size) {
  return static_cast<int>(recv(static_cast<int>(socket), buffer, static_cast<std::size_t>(size), 0));
}

bool SendAll(Socket socket, std::string_view bytes) {
  while (!bytes.empty()) {
    // MSG_NOSIGNAL: a client that went away must not kill the process with SIGPIPE.
    const ssize_t sent = send(static_cast<int>(socket), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void Close(Socket socket) { close(static_cast<int>(socket)); }

}  // namespace korvane::local_socket

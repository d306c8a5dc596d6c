#include "platform/local_socket.h"

#include <winsock2.h>

#include <climits>
#include <mutex>

namespace korvane::local_socket {

Socket ListenLoopback(int port, int& chosen) {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    WSADATA data;
    started = WSAStartup(MAKEWORD(2, 2), &data) == 0;  // kept for the process's life
  });
  if (!started) return kNoSocket;
  const SOCKET handle = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (handle == INVALID_SOCKET) return kNoSocket;
  // No SO_REUSEADDR: on Windows it lets another process take over a port that is in use.
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  int length = sizeof address;
  if (bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(handle, 16) != 0 ||
      getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(handle);
    return kNoSocket;
  }
  chosen = ntohs(address.sin_port);
  return static_cast<Socket>(handle);
}

bool WaitReadable(Socket socket, int milliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(static_cast<SOCKET>(socket), &set);
  timeval wait{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return select(0, &set, nullptr, nullptr, &wait) > 0;
}

Socket Accept(Socket listener) {
  const SOCKET handle = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
  return handle == INVALID_SOCKET ? kNoSocket : static_cast<Socket>(handle);
}

int Receive(Socket socket, char* buffer, int size) { return recv(static_cast<SOCKET>(socket), buffer, size, 0); }

bool SendAll(Socket socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const int chunk = bytes.size() > INT_MAX ? INT_MAX : static_cast<int>(bytes.size());
    const int sent = send(static_cast<SOCKET>(socket), bytes.data(), chunk, 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void Close(Socket socket) { closesocket(static_cast<SOCKET>(socket)); }

}  // namespace korvane::local_socket

#include "platform/local_socket.h"

#include <winsock2.h>

#include <climits>
#include <mutex>
#include <vector>

namespace korvane::local_socket {
namespace {

void SetNonBlocking(SOCKET handle) {
  u_long on = 1;
  // FIONBIO is an unsigned bit pattern that the declaration takes as a long.
  ioctlsocket(handle, static_cast<long>(static_cast<unsigned long>(FIONBIO)), &on);
}

}  // namespace

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
  // A long queue, so that many clients connecting at once wait for the server rather than retry.
  if (bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(handle, SOMAXCONN) != 0 ||
      getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(handle);
    return kNoSocket;
  }
  SetNonBlocking(handle);
  chosen = ntohs(address.sin_port);
  return static_cast<Socket>(handle);
}

void WaitAny(std::span<WaitEntry> entries, int milliseconds) {
  std::vector<WSAPOLLFD> polled;
  polled.reserve(entries.size());
  for (const WaitEntry& entry : entries) {
    polled.push_back(WSAPOLLFD{static_cast<SOCKET>(entry.socket), static_cast<SHORT>(entry.write ? POLLWRNORM : POLLRDNORM), 0});
  }
  const int count = polled.empty() ? 0 : WSAPoll(polled.data(), static_cast<ULONG>(polled.size()), milliseconds);
  if (polled.empty()) Sleep(static_cast<DWORD>(milliseconds));
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i].ready = count > 0 && polled[i].revents != 0;
}

Socket Accept(Socket listener) {
  const SOCKET handle = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
  if (handle == INVALID_SOCKET) return kNoSocket;
  SetNonBlocking(handle);
  return static_cast<Socket>(handle);
}

int Receive(Socket socket, char* buffer, int size) {
  const int got = recv(static_cast<SOCKET>(socket), buffer, size, 0);
  if (got == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : -1;
  return got;
}

int Send(Socket socket, std::string_view bytes) {
  const int chunk = bytes.size() > INT_MAX ? INT_MAX : static_cast<int>(bytes.size());
  const int sent = send(static_cast<SOCKET>(socket), bytes.data(), chunk, 0);
  if (sent == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? kWouldBlock : -1;
  return sent;
}

void Close(Socket socket) { closesocket(static_cast<SOCKET>(socket)); }

}  // namespace korvane::local_socket

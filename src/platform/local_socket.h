#pragma once
// The few socket calls the local HTTP server makes, over BSD sockets or Winsock. Loopback only.

#include <cstdint>
#include <string_view>

namespace korvane::local_socket {

using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// A listening socket on 127.0.0.1:`port` (0: a free one); its port in `chosen`. kNoSocket on failure.
Socket ListenLoopback(int port, int& chosen);
// True once `socket` can be read (or accepted) without blocking; false after `milliseconds`.
bool WaitReadable(Socket socket, int milliseconds);
Socket Accept(Socket listener);
// Bytes received, 0 at the end of the stream, negative on error.
int Receive(Socket socket, char* buffer, int size);
bool SendAll(Socket socket, std::string_view bytes);
void Close(Socket socket);

}  // namespace korvane::local_socket

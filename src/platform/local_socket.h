#pragma once
// The few socket calls the local HTTP server makes, over BSD sockets or Winsock. Loopback only.

#include <cstdint>
#include <span>
#include <string_view>

namespace korvane::local_socket {

using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;
// What Receive and Send give when a non-blocking socket has nothing to read or no room to send.
inline constexpr int kWouldBlock = -2;

// A listening socket on 127.0.0.1:`port` (0: a free one); its port in `chosen`. kNoSocket on failure.
Socket ListenLoopback(int port, int& chosen);

struct WaitEntry {
  Socket socket = kNoSocket;
  bool write = false;  // wait until it can be written to, else until it can be read (or accepted)
  bool ready = false;  // set by WaitAny
};
// Waits until one of `entries` is ready or `milliseconds` have passed, and marks the ready ones (a
// socket that failed or was closed by its peer is ready: its next call says so).
void WaitAny(std::span<WaitEntry> entries, int milliseconds);

// An accepted connection, non-blocking; kNoSocket when none is waiting.
Socket Accept(Socket listener);
// Bytes received, 0 at the end of the stream, kWouldBlock when nothing has arrived, -1 on error.
int Receive(Socket socket, char* buffer, int size);
// Bytes sent (as many as the socket takes now), kWouldBlock when it takes none, -1 on error.
int Send(Socket socket, std::string_view bytes);
void Close(Socket socket);

}  // namespace korvane::local_socket

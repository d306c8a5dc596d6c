// The local HTTP server under clients that connect and then stall.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/local_http_server.h"

namespace korvane {
namespace {

using namespace std::chrono_literals;

int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

void SendText(int fd, const std::string& text) { ASSERT_EQ(::send(fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size())); }

// The whole answer to a GET of `target` on a connection of its own; empty when the connection failed or
// the answer took longer than `patience`.
std::string Get(int port, const std::string& target, std::chrono::milliseconds patience) {
  const int fd = Connect(port);
  if (fd < 0) return {};
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  std::string answer;
  const auto deadline = std::chrono::steady_clock::now() + patience;
  if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd entry{fd, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
        answer.clear();
        break;
      }
      char buffer[4096];
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      answer.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return answer;
}

// Hundreds of connections that send nothing, stop halfway through their request, or never read a
// large reply, beside one client that asks again and again: each of its requests is answered at once.
TEST(LocalHttpServerTest, StalledClientsDoNotHoldUpABusyOne) {
  const auto server = LocalHttpServer::Start([](const std::string& target) {
    if (target == "/big") return HttpReply{200, std::string(8 << 20, 'b'), {}, false};
    return HttpReply{200, "page " + target, {}, false};
  });
  ASSERT_NE(server, nullptr);
  std::vector<int> stalled;
  for (int i = 0; i < 20; ++i) {  // ask for a page far larger than a socket's buffers, then never read
    const int fd = Connect(server->Port());
    ASSERT_GE(fd, 0);
    SendText(fd, "GET /big HTTP/1.1\r\n\r\n");
    stalled.push_back(fd);
  }
  for (int i = 0; i < 20; ++i) {  // half a request
    const int fd = Connect(server->Port());
    ASSERT_GE(fd, 0);
    SendText(fd, "GET /slow HTTP/1.1\r\nHo");
    stalled.push_back(fd);
  }
  for (int i = 0; i < 300; ++i) {  // nothing at all, more of them than the server keeps open
    const int fd = Connect(server->Port());
    ASSERT_GE(fd, 0);
    stalled.push_back(fd);
  }
  for (int i = 0; i < 20; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const std::string answer = Get(server->Port(), "/p" + std::to_string(i), 3s);
    EXPECT_NE(answer.find("\r\n\r\npage /p" + std::to_string(i)), std::string::npos) << i << ": '" << answer << "'";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << i;
  }
  for (const int fd : stalled) ::close(fd);
}

}  // namespace
}  // namespace korvane
#endif

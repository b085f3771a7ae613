#include "SocketIo.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// Waits until iSocket is ready for iEvents; false on error.
bool AwaitReady(int iSocket, short iEvents) {
  pollfd watched = {iSocket, iEvents, 0};
  for (;;) {
    const int ready = poll(&watched, 1, -1);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

bool SendAll(int iSocket, const char* iData, std::size_t iSize) {
  while (iSize > 0) {
    const ssize_t sent = send(iSocket, iData, iSize, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!AwaitReady(iSocket, POLLOUT)) return false;
      continue;
    }
    if (sent <= 0) return false;
    iData += sent;
    iSize -= static_cast<std::size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int iSocket, char* oData, std::size_t iSize) {
  while (iSize > 0) {
    const ssize_t received = recv(iSocket, oData, iSize, 0);
    if (received < 0 && errno == EINTR) continue;
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!AwaitReady(iSocket, POLLIN)) return false;
      continue;
    }
    if (received <= 0) return false;
    oData += received;
    iSize -= static_cast<std::size_t>(received);
  }
  return true;
}

bool SendFrame(int iSocket, const std::string& iText) {
  const std::uint64_t size = iText.size();
  return SendAll(iSocket, reinterpret_cast<const char*>(&size), sizeof size) &&
         SendAll(iSocket, iText.data(), iText.size());
}

std::optional<std::string> ReceiveFrame(int iSocket) {
  std::uint64_t size = 0;
  if (!ReceiveAll(iSocket, reinterpret_cast<char*>(&size), sizeof size)) return std::nullopt;
  std::string text(size, '\0');
  if (!ReceiveAll(iSocket, text.data(), text.size())) return std::nullopt;
  return text;
}

bool SendWithDescriptors(int iSocket, const void* iData, std::size_t iSize, const std::vector<int>& iDescriptors) {
  iovec data = {const_cast<void*>(iData), iSize};
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  std::vector<char> control(CMSG_SPACE(sizeof(int) * iDescriptors.size()));
  if (!iDescriptors.empty()) {
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int) * iDescriptors.size());
    std::memcpy(CMSG_DATA(header), iDescriptors.data(), sizeof(int) * iDescriptors.size());
  }
  for (;;) {
    const ssize_t sent = sendmsg(iSocket, &message, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    // The data is a few bytes, sent whole or not at all.
    return sent == static_cast<ssize_t>(iSize);
  }
}

bool ReceiveWithDescriptors(int iSocket, void* oData, std::size_t iSize, std::size_t iCount,
                            std::vector<int>& oDescriptors) {
  oDescriptors.clear();
  iovec data = {oData, iSize};
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  std::vector<char> control(CMSG_SPACE(sizeof(int) * iCount));
  message.msg_control = control.data();
  message.msg_controllen = control.size();
  ssize_t received = 0;
  do received = recvmsg(iSocket, &message, MSG_CMSG_CLOEXEC);
  while (received < 0 && errno == EINTR);
  for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS) continue;
    const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
    const std::size_t first = oDescriptors.size();
    oDescriptors.resize(first + count);
    std::memcpy(oDescriptors.data() + first, CMSG_DATA(header), sizeof(int) * count);
  }
  // The few bytes come in one piece with their descriptors.
  if (received == static_cast<ssize_t>(iSize) && (message.msg_flags & MSG_CTRUNC) == 0) return true;
  for (const int descriptor : oDescriptors) close(descriptor);
  oDescriptors.clear();
  return false;
}

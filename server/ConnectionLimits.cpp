#include "server/ConnectionLimits.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <utility>

TConnectionLimits::TTicket::TTicket(TTicket&& other) noexcept
    : FOwner(std::exchange(other.FOwner, nullptr)), FKey(std::move(other.FKey)) {}

TConnectionLimits::TTicket& TConnectionLimits::TTicket::operator=(TTicket&& other) noexcept {
  if (this != &other) {
    Reset();
    FOwner = std::exchange(other.FOwner, nullptr);
    FKey = std::move(other.FKey);
  }
  return *this;
}

void TConnectionLimits::TTicket::Reset() {
  if (FOwner)
    std::exchange(FOwner, nullptr)->Release(FKey);
}

TConnectionLimits::TVerdict TConnectionLimits::Admit(const std::string& key, TTicket& ticket) {
  std::lock_guard<std::mutex> guard(FMutex);
  if (FCount >= FTotal)
    return TVerdict::ServerFull;
  int& held = FByKey[key];
  if (held >= FPerAddress) {
    if (held == 0)
      FByKey.erase(key);
    return TVerdict::AddressFull;
  }
  ++held;
  ++FCount;
  ticket.Reset();
  ticket.FOwner = this;
  ticket.FKey = key;
  return TVerdict::Admitted;
}

int TConnectionLimits::Count() const {
  std::lock_guard<std::mutex> guard(FMutex);
  return FCount;
}

void TConnectionLimits::Release(const std::string& key) {
  std::lock_guard<std::mutex> guard(FMutex);
  --FCount;
  auto held = FByKey.find(key);
  if (held != FByKey.end() && --held->second <= 0)
    FByKey.erase(held);
}

std::string AddressKey(const std::string& address) {
  in6_addr v6{};
  if (::inet_pton(AF_INET6, address.c_str(), &v6) != 1)
    return address;
  char text[INET6_ADDRSTRLEN];
  if (IN6_IS_ADDR_V4MAPPED(&v6)) {
    in_addr v4{};
    std::memcpy(&v4, v6.s6_addr + 12, sizeof v4);
    return ::inet_ntop(AF_INET, &v4, text, sizeof text) ? text : address;
  }
  std::memset(v6.s6_addr + 8, 0, 8);
  return ::inet_ntop(AF_INET6, &v6, text, sizeof text) ? std::string(text) + "/64" : address;
}

#pragma once
// Turning a channel's configured address (a host name or a dotted IPv4
// address) into an IPv4 address in host byte order.

#include <cstdint>

constexpr uint32_t NET_ADDRESS_NONE = 0xFFFFFFFFu;

// A dotted address ("a.b.c.d") in host order, NET_ADDRESS_NONE when the text
// is not one (as with inet_addr, "255.255.255.255" gives the same value).
uint32_t ParseDottedIPv4(const char* text);

// The first IPv4 address of a host name (a dotted address also resolves);
// false when the name has none. May wait for the system's name service.
bool LookupHostIPv4(const char* name, uint32_t* ip);

#pragma once
// The peer of a network channel as an address the connect request carries.

#include <cstdint>

// A host name or dotted IPv4 address as an address in host byte order;
// 0xFFFFFFFF when it is neither (the connection to it then fails).
uint32_t ResolveHost(const char* name);

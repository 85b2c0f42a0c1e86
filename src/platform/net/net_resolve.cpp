#include "platform/net/net_resolve.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

uint32_t ParseDottedIPv4(const char* text) {
    in_addr addr{};
    if (text == nullptr || ::inet_pton(AF_INET, text, &addr) != 1)
        return NET_ADDRESS_NONE;
    return ntohl(addr.s_addr);
}

bool LookupHostIPv4(const char* name, uint32_t* ip) {
    if (name == nullptr || name[0] == '\0' || ip == nullptr)
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || list == nullptr)
        return false;
    bool found = false;
    for (addrinfo* a = list; a != nullptr; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in)) {
            *ip = ntohl(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
            found = true;
            break;
        }
    }
    ::freeaddrinfo(list);
    return found;
}

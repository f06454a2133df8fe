/* Preloaded into the program when its window is served over VNC: Qt's VNC
 * server listens on every address and asks for no password, which would show
 * a private diary to the whole network. Binding "any address" becomes
 * binding the loopback address, so only this machine can connect. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <netinet/in.h>
#include <string.h>
#include <sys/socket.h>

int bind(int fd, const struct sockaddr* addr, socklen_t len) {
    static int (*real_bind)(int, const struct sockaddr*, socklen_t);
    if (real_bind == NULL) {
        real_bind = (int (*)(int, const struct sockaddr*, socklen_t))dlsym(RTLD_NEXT, "bind");
    }
    if (addr != NULL && addr->sa_family == AF_INET && len >= sizeof(struct sockaddr_in)) {
        struct sockaddr_in a;
        memcpy(&a, addr, sizeof a);
        if (a.sin_addr.s_addr == htonl(INADDR_ANY)) {
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            return real_bind(fd, (const struct sockaddr*)&a, sizeof a);
        }
    } else if (addr != NULL && addr->sa_family == AF_INET6 &&
               len >= sizeof(struct sockaddr_in6)) {
        struct sockaddr_in6 a;
        memcpy(&a, addr, sizeof a);
        if (IN6_IS_ADDR_UNSPECIFIED(&a.sin6_addr)) {
            /* A dual-stack socket: ::ffff:127.0.0.1 takes IPv4 loopback clients. */
            static const unsigned char mapped[16] = {0, 0, 0, 0, 0, 0, 0, 0,
                                                     0, 0, 0xff, 0xff, 127, 0, 0, 1};
            memcpy(&a.sin6_addr, mapped, sizeof mapped);
            return real_bind(fd, (const struct sockaddr*)&a, sizeof a);
        }
    }
    return real_bind(fd, addr, len);
}

// One application per test process, the program's own (its event dispatch guards every handler), on
// the offscreen platform unless told otherwise.
#include "widgets/GuardedApplication.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>

#include <cstring>
#include <string_view>

namespace {

// A name whose lookup never leaves this machine.
bool staysHere(const char* node)
{
    if (node == nullptr || std::strcmp(node, "localhost") == 0)
        return true;
    unsigned char address[sizeof(in6_addr)];
    return inet_pton(AF_INET, node, address) == 1 || inet_pton(AF_INET6, node, address) == 1;
}

// Names under ".invalid" exist nowhere (RFC 6761), so they are answered here without asking.
bool neverExists(const char* node)
{
    const std::string_view name(node);
    return name.ends_with(".invalid") || name.ends_with(".invalid.");
}

} // namespace

// Tests talk only to servers they start on this machine. Any other name would be sent to the
// network's name server, and a lookup still under way when the process ends is reported as a leak;
// so the lookup is refused here and fails the test that asked for it, by name.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** found)
{
    if (!staysHere(node)) {
        if (!neverExists(node))
            ADD_FAILURE() << "a test looked up the host \"" << node << "\"; tests may only reach this machine";
        return EAI_NONAME;
    }
    using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto system = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return system(node, service, hints, found);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    GuardedApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

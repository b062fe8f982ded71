// pictorel-cli as the user starts it: answers --version at once and hands every other command to
// pictorel-cli-engine beside it. The engine links the whole picture and window library stack, whose
// loading alone takes longer than the answer to --version should.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("pictorel-cli %s\n", PICTOREL_VERSION);
        return 0;
    }
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::perror("pictorel-cli: cannot find its own folder");
        return 1;
    }
    std::string engine(self, std::size_t(length));
    engine.erase(engine.rfind('/') + 1);
    engine += "pictorel-cli-engine";
    execv(engine.c_str(), argv);
    std::fprintf(stderr, "pictorel-cli: cannot start %s: %s\n", engine.c_str(), std::strerror(errno));
    return 1;
}

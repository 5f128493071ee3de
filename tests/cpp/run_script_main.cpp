// Development runner: runs one script the way raw_input does, without Python.
// A stop prints its message on stderr and exits 1.
#include <cstdio>

#include "lib/runner.h"
#include "utils/stop.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SCRIPT\n", argv[0]);
        return 2;
    }
    try {
        vantor::run_file(argv[1]);
    } catch (const vantor::Stop& s) {
        std::fwrite(s.message.data(), 1, s.message.size(), stderr);
        std::fputc('\n', stderr);
        return 1;
    }
    return 0;
}

// libFuzzer harness: compiles and runs arbitrary bytes as a script, output to
// a sink, with a bound on executed instructions so that endless loops end.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "lib/runner.h"
#include "utils/interrupt.h"
#include "utils/stop.h"

namespace {

// The machine polls the host every few thousand instructions; a handful of
// polls bound a run to some tens of thousands of instructions.
constexpr int kPollBudget = 8;
int polls_left = 0;

void count_poll() {
    if (--polls_left <= 0) vantor::stop("instruction budget exhausted");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Listings, trace and print output go to descriptor 1: make it a sink.
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, 1);
        close(null);
    }
    vantor::poll_host = count_poll;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("script", MFD_CLOEXEC);
    if (fd < 0) return 0;
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    polls_left = kPollBudget;
    try {
        vantor::run_file("/proc/self/fd/" + std::to_string(fd));
    } catch (const vantor::Stop&) {
        // Stops are the expected outcome of most inputs.
    }
    close(fd);
    return 0;
}

#include "lib/runner.h"

#include <fcntl.h>

#include <cerrno>
#include <new>
#include <stdexcept>
#include <string>

#include "lex/reader.h"
#include "parse/parse.h"
#include "utils/os_error.h"
#include "utils/stop.h"
#include "utils/writer.h"
#include "value/object.h"
#include "vm/vm.h"

namespace vantor {

namespace {

constexpr const char* kUnwrapErr = "called `Result::unwrap()` on an `Err` value: ";

int open_script(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        stop(std::string(kUnwrapErr) +
             "Error { kind: InvalidInput, message: \"file name contained an unexpected NUL byte\" }");
    }
    int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) stop(kUnwrapErr + os_error_debug(errno));
    return fd;
}

void compile_and_run(std::string_view path) {
    Ref<FuncProto> main;
    {
        // The reader (and with it the file) is dropped as soon as compiling ends.
        Reader reader(open_script(path));
        main = load(reader);
    }
    run(main);
}

}  // namespace

void run_file(std::string_view path) {
    // Declared first so that it ends last: whatever the run leaves alive,
    // cycles included, is freed when this call ends, normally or by a stop.
    Heap heap;
    try {
        out().begin();
        try {
            compile_and_run(path);
        } catch (const std::bad_alloc&) {
            stop("memory allocation failed");
        } catch (const std::length_error&) {
            stop("memory allocation failed");
        }
        out().flush();
    } catch (...) {
        out().flush_quietly();
        throw;
    }
}

}  // namespace vantor

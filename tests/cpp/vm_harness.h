// Test helpers for the machine: hand-built prototypes, and runs whose output
// on descriptor 1 is captured in a temporary file.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "parse/proto.h"
#include "utils/stop.h"
#include "utils/writer.h"
#include "value/object.h"
#include "vm/exe_state.h"
#include "vm/vm.h"

namespace vantor::testing {

// Redirects descriptor 1 to a temporary file until text() is called.
class Capture {
public:
    Capture() {
        out().flush();
        std::fflush(stdout);
        char path[] = "/tmp/vantor_vm_XXXXXX";
        fd_ = mkstemp(path);
        if (fd_ < 0) std::abort();
        unlink(path);
        saved_ = dup(1);
        dup2(fd_, 1);
    }
    ~Capture() { restore(); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::string text() {
        out().flush_quietly();
        restore();
        std::string s;
        lseek(fd_, 0, SEEK_SET);
        char buf[65536];
        ssize_t n;
        while ((n = read(fd_, buf, sizeof buf)) > 0) s.append(buf, size_t(n));
        return s;
    }

private:
    void restore() {
        if (saved_ >= 0) {
            out().flush_quietly();
            dup2(saved_, 1);
            close(saved_);
            saved_ = -1;
        }
    }
    int fd_ = -1;
    int saved_ = -1;
};

inline Value str(const char* s) { return Value::from_bytes(s); }
inline Value num(int64_t i) { return Value::integer(i); }
inline Value flt(double f) { return Value::number(f); }

// A prototype ready to run (trace lines prepared). Main functions take one
// parameter (_ENV), the default.
inline Ref<FuncProto> make_proto(std::vector<Instr> code, std::vector<Value> constants = {},
                                 size_t params = 1, bool vararg = false,
                                 std::vector<UpvalueSource> upindexes = {}) {
    Ref<FuncProto> p = Ref<FuncProto>::adopt(new FuncProto());
    p->byte_codes = std::move(code);
    p->constants = std::move(constants);
    p->param_count = params;
    p->is_vararg = vararg;
    p->upindexes = std::move(upindexes);
    p->prepare_trace();
    return p;
}

// A LuaFunction constant for a nested prototype.
inline Value fn_value(const Ref<FuncProto>& p) {
    retain(p.get());
    return Value::adopt(Tag::LuaFunction, p.get());
}

inline UpvalueSource local_up(size_t i) { return UpvalueSource{true, i}; }
inline UpvalueSource outer_up(size_t i) { return UpvalueSource{false, i}; }

struct RunResult {
    std::string output;   // everything written to descriptor 1
    std::string stopped;  // the stop message, empty when the run completed
};

inline RunResult run_main(const Ref<FuncProto>& main) {
    RunResult r;
    Capture cap;
    {
        Heap heap;
        try {
            run(main);
        } catch (const Stop& s) {
            r.stopped = s.message;
            if (r.stopped.empty()) r.stopped = "<empty stop>";
        }
    }
    r.output = cap.text();
    return r;
}

// The lines a script printed itself: the output without trace lines.
inline std::string program_output(const std::string& all) {
    std::string res;
    size_t at = 0;
    while (at < all.size()) {
        size_t nl = all.find('\n', at);
        size_t end = nl == std::string::npos ? all.size() : nl + 1;
        std::string_view line(all.data() + at, end - at);
        if (!(line.size() > 3 && line.substr(0, 3) == "  [")) res.append(line);
        at = end;
    }
    return res;
}

// The trace lines a run printed, as "[pc] Form" without the tab and indent.
inline std::vector<std::string> trace_lines(const std::string& all) {
    std::vector<std::string> res;
    size_t at = 0;
    while (at < all.size()) {
        size_t nl = all.find('\n', at);
        size_t end = nl == std::string::npos ? all.size() : nl;
        std::string line = all.substr(at, end - at);
        if (line.rfind("  [", 0) == 0) res.push_back(line.substr(2));
        at = end + 1;
    }
    return res;
}

// One execution state run directly, so tests can look at its registers.
struct Machine {
    Heap heap;  // first in, last out: frees what the run left
    Capture cap;
    ExeState S;
    size_t results = 0;
    std::string stopped;
    std::string output;

    void exec(const Ref<FuncProto>& p) {
        try {
            results = execute(S, *p, nullptr, 0);
        } catch (const Stop& s) {
            stopped = s.message;
        }
        output = cap.text();
    }
    // Register r of the main frame.
    const Value& reg(size_t r) const { return S.stack.at(1 + r); }
    std::string dbg(size_t r) const { return debug(reg(r)); }
    size_t regs() const { return S.stack.size() - 1; }
};

}  // namespace vantor::testing

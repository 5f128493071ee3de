"""Benchmark command: runs each benchmark script several times and prints medians.

    python3 bench/run.py

Measures, per script: executed instructions per second with stdout on /dev/null;
output megabytes per second with stdout on a file and on a pipe; the ratio of the
run's wall time to `cat` copying the same bytes to the same sink. For compilation:
source megabytes per second of a large generated script, listing on /dev/null.
Then the time `import Vantor` takes, and the peak memory growth of a run that
builds a 1,000,000-element array table.
Times are taken inside the child process around the raw_input call, so Python's
start-up is not counted; `cat` is timed the same way around its own run.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RUNS = 5
SCRIPTS = ["fib", "loops", "tables", "strings", "closures", "ipairs"]

CHILD = (
    "import sys, time, Vantor\n"
    "t = time.perf_counter()\n"
    "Vantor.raw_input(sys.argv[1])\n"
    "sys.stderr.write('%.6f\\n' % (time.perf_counter() - t))\n"
)


def timed_run(path, sink):
    """Runs one script with stdout on sink ('null', a file path, or 'pipe')."""
    cmd = [sys.executable, "-c", CHILD, path]
    if sink == "pipe":
        p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        while p.stdout.read(1 << 20):
            pass
        err = p.stderr.read()
        p.wait()
    else:
        target = os.devnull if sink == "null" else sink
        with open(target, "wb") as out:
            p = subprocess.run(cmd, stdout=out, stderr=subprocess.PIPE)
        err = p.stderr
    if p.returncode != 0:
        raise SystemExit("benchmark run failed: %s\n%s" % (path, err.decode(errors="replace")))
    return float(err.decode().strip().splitlines()[-1])


def timed_cat(src, sink):
    t = time.perf_counter()
    if sink == "pipe":
        p = subprocess.Popen(["cat", src], stdout=subprocess.PIPE)
        while p.stdout.read(1 << 20):
            pass
        p.wait()
    else:
        with open(sink, "wb") as out:
            subprocess.run(["cat", src], stdout=out, check=True)
    return time.perf_counter() - t


def median(f):
    return statistics.median(f() for _ in range(RUNS))


def run_script(name, tmp):
    path = os.path.join(HERE, name + ".lua")
    ref = os.path.join(tmp, name + ".out")
    timed_run(path, ref)
    size = os.path.getsize(ref)
    with open(ref, "rb") as f:
        instructions = sum(1 for line in f if line.startswith(b"  ["))
    sink = os.path.join(tmp, "sink")
    t_null = median(lambda: timed_run(path, "null"))
    t_file = median(lambda: timed_run(path, sink))
    c_file = median(lambda: timed_cat(ref, sink))
    t_pipe = median(lambda: timed_run(path, "pipe"))
    c_pipe = median(lambda: timed_cat(ref, "pipe"))
    mb = size / 1e6
    print("%-9s %6.1f M instr/s  %7.1f MB/s file  %7.1f MB/s pipe  x%.2f cat(file)  x%.2f cat(pipe)"
          "  [%d instr, %.0f MB]" % (name, instructions / t_null / 1e6, mb / t_file, mb / t_pipe,
                                     t_file / c_file, t_pipe / c_pipe, instructions, mb))
    os.remove(ref)


def compile_bench(tmp):
    # Each global function name is a constant of the main function, and the
    # constant table is limited; split the source into many nested blocks of
    # functions held in locals instead.
    path = os.path.join(tmp, "compile.lua")
    lines = []
    size = 0
    n = 0
    while size < 8_000_000:
        part = ["do\n"]
        for _ in range(100):
            part.append(
                "  local function f(a, b, c)\n"
                "    local t = {a, b, c, x = a + 1, y = b * 2.5, [\"key\"] = \"value\"}\n"
                "    if a < b and b <= c or not c then t.x = t.y .. \"s\" end\n"
                "    for i = 1, 10 do t[i] = i * a - b // 3 end\n"
                "    while a > 0 do a = a - 1 end\n"
                "    return t, a, b\n"
                "  end\n")
            n += 1
        part.append("end\n")
        text = "".join(part)
        lines.append(text)
        size += len(text)
    with open(path, "w") as f:
        f.write("".join(lines))
    t = median(lambda: timed_run(path, "null"))
    print("%-9s %6.1f MB/s source  [%d functions, %.1f MB]" % ("compile", size / t / 1e6, n, size / 1e6))


IMPORT_CHILD = (
    "import time\n"
    "t = time.perf_counter()\n"
    "import Vantor\n"
    "print('%.6f' % (time.perf_counter() - t))\n"
)

# Peak resident memory from the kernel's high-water mark of this process
# (ru_maxrss would carry the parent's peak across exec).
MEMORY_CHILD = (
    "import sys, Vantor\n"
    "def peak():\n"
    "    for line in open('/proc/self/status'):\n"
    "        if line.startswith('VmHWM:'):\n"
    "            return int(line.split()[1])\n"
    "before = peak()\n"
    "Vantor.raw_input(sys.argv[1])\n"
    "sys.stderr.write('%d\\n' % (peak() - before))\n"
)


def import_bench():
    def once():
        out = subprocess.run([sys.executable, "-c", IMPORT_CHILD], capture_output=True, check=True)
        return float(out.stdout)
    print("%-9s %6.2f ms" % ("import", median(once) * 1e3))


def memory_bench():
    path = os.path.join(HERE, "bigtable.lua")
    with open(os.devnull, "wb") as null:
        p = subprocess.run([sys.executable, "-c", MEMORY_CHILD, path], stdout=null,
                           stderr=subprocess.PIPE, check=True)
    kib = int(p.stderr.decode().strip().splitlines()[-1])
    print("%-9s %6.1f MB peak growth for a 1,000,000-element array table" % ("memory", kib / 1024))


def main():
    with tempfile.TemporaryDirectory() as tmp:
        for name in SCRIPTS:
            run_script(name, tmp)
        compile_bench(tmp)
    import_bench()
    memory_bench()


if __name__ == "__main__":
    main()

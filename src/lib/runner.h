// The script runner behind raw_input: opens the file, compiles it, runs it and
// releases everything the run created. Every failure leaves as a Stop (or a
// HostError when the host abandoned the run); standard output is flushed
// before the call returns either way.
#pragma once
#include <string_view>

namespace vantor {

void run_file(std::string_view path);

}  // namespace vantor

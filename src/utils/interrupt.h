// The host's chance to interrupt a long run: the machine calls poll_host every
// few thousand instructions; the host's poll throws HostError to abandon the run.
#pragma once

namespace vantor {

extern void (*poll_host)();

}  // namespace vantor

#include "helpers/DecoderSandbox.h"

#include <fcntl.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>

namespace {

// Never above the limit we were started with: a limit that the user set for the program holds for its
// decoder too.
bool SetLimit(int resource, rlim_t soft, rlim_t hard)
{
    rlimit current {};
    if (getrlimit(resource, &current) != 0)
        return false;
    const rlimit limit { std::min(soft, current.rlim_cur), std::min(hard, current.rlim_max) };
    return setrlimit(resource, &limit) == 0;
}

bool Allow(scmp_filter_ctx filter, int call)
{
    return seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0) == 0;
}

template <class... Conditions> bool AllowWhen(scmp_filter_ctx filter, int call, Conditions... conditions)
{
    return seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, sizeof...(Conditions), conditions...) == 0;
}

class Filter {
public:
    Filter()
        : context_(seccomp_init(SCMP_ACT_KILL_PROCESS))
    {
    }
    ~Filter()
    {
        if (context_)
            seccomp_release(context_);
    }
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;
    scmp_filter_ctx get() const { return context_; }

private:
    scmp_filter_ctx context_;
};

} // namespace

bool DecoderSandbox::SetLimits(int64_t addressSpaceBytes, int cpuSeconds)
{
    // A crash must not leave a core file (or wake a core-dump handler) for every hostile picture; past the
    // soft CPU limit the kernel sends SIGXCPU, which ends the process, and kills it a second later.
    const bool common = SetLimit(RLIMIT_CORE, 0, 0) && SetLimit(RLIMIT_CPU, rlim_t(cpuSeconds), rlim_t(cpuSeconds + 1));
#ifdef LUMORA_DECODER_UNDER_SANITIZER
    // The sanitizers' own memory probes open pipes.
    (void)addressSpaceBytes;
    return common;
#else
    // Three standard descriptors and the input that the socket brings.
    return common && SetLimit(RLIMIT_AS, rlim_t(addressSpaceBytes), rlim_t(addressSpaceBytes))
        && SetLimit(RLIMIT_NOFILE, 4, 4);
#endif
}

bool DecoderSandbox::LoadFilter()
{
    const Filter filter;
    scmp_filter_ctx f = filter.get();
    if (!f)
        return false;
    // Memory: never executable once the libraries are in place.
    const bool ok = AllowWhen(f, SCMP_SYS(mmap), SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0))
        && AllowWhen(f, SCMP_SYS(mprotect), SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)) && Allow(f, SCMP_SYS(munmap))
        && Allow(f, SCMP_SYS(mremap)) && Allow(f, SCMP_SYS(brk))
        && Allow(f, SCMP_SYS(madvise))
        // The two descriptors: the socket that brings the input, the reply (written, or sized and mapped)
        // and its seals; error messages on standard error. The input comes as a descriptor, only mapped.
        && AllowWhen(f, SCMP_SYS(recvmsg), SCMP_A0(SCMP_CMP_EQ, 0))
        && AllowWhen(f, SCMP_SYS(write), SCMP_A0(SCMP_CMP_EQ, 1))
        && AllowWhen(f, SCMP_SYS(pwrite64), SCMP_A0(SCMP_CMP_EQ, 1))
        && AllowWhen(f, SCMP_SYS(write), SCMP_A0(SCMP_CMP_EQ, 2))
        && AllowWhen(f, SCMP_SYS(fcntl), SCMP_A0(SCMP_CMP_EQ, 1), SCMP_A1(SCMP_CMP_EQ, F_ADD_SEALS))
        && AllowWhen(f, SCMP_SYS(ftruncate), SCMP_A0(SCMP_CMP_EQ, 1))
        // Static locals (FreeImage's entry points are found on first call) wake waiters when set up.
        && Allow(f, SCMP_SYS(futex)) && Allow(f, SCMP_SYS(exit))
        && Allow(f, SCMP_SYS(exit_group))
        // The C library's sort asks how much memory the machine has; it copes without an answer.
        && seccomp_rule_add(f, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(sysinfo), 0) == 0;
    return ok && seccomp_load(f) == 0;
}

bool DecoderSandbox::Enter(int64_t addressSpaceBytes, int cpuSeconds)
{
    if (!SetLimits(addressSpaceBytes, cpuSeconds) || prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return false;
#ifdef LUMORA_DECODER_UNDER_SANITIZER
    return true;
#else
    return LoadFilter();
#endif
}

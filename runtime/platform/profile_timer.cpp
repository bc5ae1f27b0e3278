// The profiler's timer: a POSIX timer on the main thread's own CPU clock,
// whose signal goes to the main thread alone (SIGEV_THREAD_ID). Time the
// other threads use (audio, network) neither fires it nor is ever sampled,
// so the handler needs no check of which thread it interrupted.
#include "platform/platform.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// The one profiling timer. Written on the main thread before the timer
// starts; the handler reads the sampler and the timer.
struct ProfileTimer {
    ProfileSampler volatile sampler = nullptr;
    timer_t timer{};
    bool running = false;
};

ProfileTimer g_profileTimer;

void OnProfileSignal(int, siginfo_t*, void*)
{
    const int savedErrno = errno;  // timer_getoverrun may set it
    ProfileSampler sampler = g_profileTimer.sampler;
    if (sampler != nullptr) {
        // Expirations the kernel merged into this one signal.
        const int overruns = timer_getoverrun(g_profileTimer.timer);
        sampler(1 + (overruns > 0 ? overruns : 0));
    }
    errno = savedErrno;
}

}  // namespace

bool StartProfileTimer(ProfileSampler sampler, long intervalMicroseconds)
{
    if (g_profileTimer.running || sampler == nullptr || intervalMicroseconds <= 0) return false;
    struct sigaction action {};
    action.sa_sigaction = OnProfileSignal;
    // Interrupted system calls go on, as without the profiler.
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGPROF, &action, nullptr) != 0) {
        std::fprintf(stderr, "Zorvelin runtime: cannot profile: %s\n", std::strerror(errno));
        return false;
    }
    sigevent event {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = SIGPROF;
    event._sigev_un._tid = gettid();  // glibc names no field for it
    g_profileTimer.sampler = sampler;
    // Created on the main thread: its clock is the main thread's CPU time.
    if (timer_create(CLOCK_THREAD_CPUTIME_ID, &event, &g_profileTimer.timer) != 0) {
        std::fprintf(stderr, "Zorvelin runtime: cannot profile: no CPU-time timer: %s\n", std::strerror(errno));
        g_profileTimer.sampler = nullptr;
        return false;
    }
    itimerspec period {};
    period.it_interval.tv_sec = intervalMicroseconds / 1000000;
    period.it_interval.tv_nsec = intervalMicroseconds % 1000000 * 1000;
    period.it_value = period.it_interval;
    if (timer_settime(g_profileTimer.timer, 0, &period, nullptr) != 0) {
        std::fprintf(stderr, "Zorvelin runtime: cannot profile: %s\n", std::strerror(errno));
        timer_delete(g_profileTimer.timer);
        g_profileTimer.sampler = nullptr;
        return false;
    }
    g_profileTimer.running = true;
    return true;
}

void StopProfileTimer()
{
    if (!g_profileTimer.running) return;
    g_profileTimer.running = false;
    // No sampler first: a signal still pending when the timer goes
    // calls none.
    g_profileTimer.sampler = nullptr;
    timer_delete(g_profileTimer.timer);
    signal(SIGPROF, SIG_IGN);
}

}  // namespace platform

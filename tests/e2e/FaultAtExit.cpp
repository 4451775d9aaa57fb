// Loaded into the end-to-end runs that prove their own checks: when the
// program (and only the program) ends, it crashes or prints a sanitizer's
// report, as ILX_E2E_FAULT asks. A run with either must fail.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

bool IsTheProgram()
{
    char exe[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return false;
    const char* base = std::strrchr(exe, '/');
    return base && std::strcmp(base + 1, "ilumerix") == 0;
}

__attribute__((destructor)) void FaultAtExit()
{
    const char* fault = std::getenv("ILX_E2E_FAULT");
    if (!fault || !IsTheProgram())
        return;
    if (std::strcmp(fault, "crash") == 0) {
        std::signal(SIGSEGV, SIG_DFL);
        std::raise(SIGSEGV);
    }
    if (std::strcmp(fault, "report") == 0) {
        static const char report[] =
            "==1==ERROR: AddressSanitizer: heap-use-after-free (planted by the test)\n";
        [[maybe_unused]] const auto written = ::write(2, report, sizeof report - 1);
    }
}

} // namespace

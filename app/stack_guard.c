/* The stack protector's guard and the failure ends of the hardened build,
 * linked into every module of the project in place of libssp's own. libssp
 * seeds its guard through the crypto provider (CryptAcquireContextA), which
 * loads bcrypt, crypt32 and rsaenh into every start for eight bytes. The
 * system's random source in advapi32 (RtlGenRandom), which the program loads
 * anyway for the registry, gives them without a provider; the process's ids
 * and clocks are mixed in so that a failing source still leaves no
 * predictable guard. The fortified copies of libssp stay: they need only
 * __chk_fail from here.
 *
 * This file is built without the stack protector: the set-up changes the
 * guard while it runs. */
#include <windows.h>

#include <ntsecapi.h>

void* __stack_chk_guard = 0;

static const char kSmashed[] = "*** stack smashing detected ***: terminated\n";
static const char kOverflow[] = "*** buffer overflow detected ***: terminated\n";

static unsigned long long Mix(unsigned long long value, unsigned long long more) {
    value ^= more + 0x9E3779B97F4A7C15ull + (value << 6) + (value >> 2);
    return value;
}

static void __attribute__((constructor)) SeedStackGuard(void) {
    unsigned long long seed = 0;
    if (!RtlGenRandom(&seed, sizeof seed))
        seed = 0;
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter))
        seed = Mix(seed, (unsigned long long)counter.QuadPart);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    seed = Mix(seed, ((unsigned long long)now.dwHighDateTime << 32) | now.dwLowDateTime);
    seed = Mix(seed, ((unsigned long long)GetCurrentProcessId() << 32) | GetCurrentThreadId());
    seed = Mix(seed, (unsigned long long)(ULONG_PTR)&seed);
    /* A zero byte first, as libssp's fallback has it: a runaway string copy
     * stops at it instead of writing the guard back. */
    seed &= ~(unsigned long long)0xFF;
    if (seed == 0)
        seed = 0xFF0A0D00u;
    __stack_chk_guard = (void*)(ULONG_PTR)seed;
}

/* Tells whoever watches the error stream, then ends the process at once:
 * nothing of the smashed frame may run on. */
static void __attribute__((noreturn)) Fail(const char* text, DWORD length) {
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written;
    if (errors && errors != INVALID_HANDLE_VALUE)
        WriteFile(errors, text, length, &written, NULL);
    OutputDebugStringA(text);
    __builtin_trap();
}

void __attribute__((noreturn)) __stack_chk_fail(void) {
    Fail(kSmashed, sizeof kSmashed - 1);
}

void __attribute__((noreturn)) __chk_fail(void) {
    Fail(kOverflow, sizeof kOverflow - 1);
}

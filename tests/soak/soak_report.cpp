#include "tests/soak/soak_report.h"

#include <cstdarg>
#include <cstdio>

namespace {
int g_failures = 0;
}

void Fail(long frame, const std::string& what) {
    ++g_failures;
    if (g_failures <= 20) std::fprintf(stderr, "FAIL at frame %ld: %s\n", frame, what.c_str());
    if (g_failures == 20) std::fprintf(stderr, "(further failures not shown)\n");
}

int Failures() { return g_failures; }

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

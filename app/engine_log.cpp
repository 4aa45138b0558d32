#include "app/engine_log.h"

#include <cstdio>

namespace {
const char kLogName[] = "Engine.log";
}

void StartLog() {
    FILE* f = std::fopen(kLogName, "w");
    if (f == nullptr) return;
    std::fprintf(f, "__________Engine - Log__________\n");
    std::fclose(f);
}

void LogLine(const char* text) {
    FILE* f = std::fopen(kLogName, "a");
    if (f == nullptr) return;
    std::fprintf(f, "%s\n", text);
    std::fclose(f);
}

// How the soak reports: every failed check is counted and the first twenty are printed
// with their frame; the run fails when any check failed.
#pragma once

#include <string>

void Fail(long frame, const std::string& what);
int Failures();
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

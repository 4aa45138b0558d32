#include "app/local_time.h"

#include <ctime>

std::string LocalTime(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[40];
    std::strftime(text, sizeof(text), format, &local);
    return text;
}

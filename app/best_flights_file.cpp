#include "app/best_flights_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include <process.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "app/local_time.h"

const char kBestFlightsFile[] = "best_flights.txt";
const char kLastFlightFile[] = "last_flight.orvr";

namespace {

const char kLockFile[] = "best_flights.lock";

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return (int)getpid();
#endif
}

// Held while a game reads and rewrites the table. Without a lock file (a folder that
// cannot be written) the table cannot be written either, and the write says so.
class FolderLock {
public:
    explicit FolderLock(const std::string& path) {
#ifdef _WIN32
        handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ != INVALID_HANDLE_VALUE) {
            OVERLAPPED o = {};
            if (!LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &o)) {
                CloseHandle(handle_);
                handle_ = INVALID_HANDLE_VALUE;
            }
        }
#else
        fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ >= 0) {
            while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
#endif
    }
    ~FolderLock() {
#ifdef _WIN32
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
#else
        if (fd_ >= 0) close(fd_);  // closing lets the lock go
#endif
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
};

enum class Read { Missing, Ok, Failed };

Read ReadWhole(const std::string& path, std::string* text) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return errno == ENOENT ? Read::Missing : Read::Failed;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text->append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    return failed ? Read::Failed : Read::Ok;
}

bool WriteWhole(const std::string& path, const std::string& text, std::string* why) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        *why = std::strerror(errno);
        return false;
    }
    const bool wrote = std::fwrite(text.data(), 1, text.size(), f) == text.size() &&
                       std::fflush(f) == 0;
    const int error = errno;
    if (std::fclose(f) != 0 || !wrote) {
        *why = std::strerror(wrote ? errno : error);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

// A table that cannot be read goes aside whole, under a name no other game picks.
void SetAside(const std::string& folder, const std::string& why, FlightEntry* entry) {
    const std::string aside = std::string("best_flights.damaged-") + LocalTime("%Y%m%d-%H%M%S") + "-" +
                              std::to_string(ProcessId()) + ".txt";
    std::string line = std::string("orvendale: ") + kBestFlightsFile + " cannot be read (" + why + ")";
    if (std::rename((folder + kBestFlightsFile).c_str(), (folder + aside).c_str()) == 0)
        line += "; it is set aside as " + aside + " and a new table starts.";
    else
        line += std::string("; it cannot be set aside either (") + std::strerror(errno) +
                "), so a new table starts.";
    entry->notes.push_back(line);
}

// The table as it is on disk, or empty (set aside when damaged, if `entry` is given).
BestFlights Load(const std::string& folder, FlightEntry* entry) {
    BestFlights table;
    std::string text;
    const Read read = ReadWhole(folder + kBestFlightsFile, &text);
    if (read == Read::Missing) return table;
    std::string why;
    if (read == Read::Failed) why = std::strerror(errno);
    else if (ParseBestFlights(text, &table, &why)) return table;
    table.rows.clear();
    if (entry != nullptr) SetAside(folder, why, entry);
    return table;
}

}  // namespace

bool ReplaceFileWhole(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

BestFlights ReadBestFlights(const std::string& folder) { return Load(folder, nullptr); }

FlightEntry EnterFlight(const std::string& folder, const FlightRow& row) {
    FlightEntry entry;
    FolderLock lock(folder + kLockFile);
    entry.table = Load(folder, &entry);
    const int bestBefore = entry.table.rows.empty() ? -1 : entry.table.rows[0].score.hundredths;
    std::vector<FlightRow> dropped;
    entry.rank = InsertFlight(&entry.table, row, &dropped);
    entry.newBest = entry.rank == 0 && (bestBefore < 0 || RanksAbove(row.score, entry.table.rows[1].score));
    if (entry.rank < 0) return entry;

    const std::string path = folder + kBestFlightsFile;
    const std::string temporary = path + "." + std::to_string(ProcessId()) + ".tmp";
    std::string why;
    if (!WriteWhole(temporary, FormatBestFlights(entry.table), &why)) {
        entry.notes.push_back(std::string("orvendale: ") + kBestFlightsFile + " cannot be written (" +
                              why + "); the game plays on without keeping this flight.");
        return entry;
    }
    if (!ReplaceFileWhole(temporary, path)) {
        entry.notes.push_back(std::string("orvendale: ") + kBestFlightsFile + " cannot be replaced (" +
                              std::strerror(errno) + "); the game plays on without keeping this flight.");
        std::remove(temporary.c_str());
        return entry;
    }
    entry.written = true;
    for (const FlightRow& gone : dropped)
        if (!gone.recording.empty()) std::remove((folder + gone.recording).c_str());
    return entry;
}

bool KeepAsLastFlight(const std::string& folder, const std::string& name, bool inTable,
                      std::string* why) {
    const std::string from = folder + name;
    const std::string to = folder + kLastFlightFile;
    if (!inTable) {
        if (ReplaceFileWhole(from, to)) return true;
        *why = std::strerror(errno);
        std::remove(from.c_str());
        return false;
    }
    std::string bytes;
    if (ReadWhole(from, &bytes) != Read::Ok) {
        *why = std::strerror(errno);
        return false;
    }
    const std::string temporary = to + "." + std::to_string(ProcessId()) + ".tmp";
    if (!WriteWhole(temporary, bytes, why)) return false;
    if (!ReplaceFileWhole(temporary, to)) {
        *why = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

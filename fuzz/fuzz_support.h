// Shared bits of the fuzz harnesses: a check that stops the run with a message (so a
// broken promise of the code under test is a finding, not just a crash), and a scratch
// file for the readers that only take a file name.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                          \
    do {                                                                          \
        if (!(cond)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, \
                         #cond);                                                  \
            std::abort();                                                         \
        }                                                                         \
    } while (0)

namespace fuzzsupport {

// One scratch file per process (libFuzzer's -jobs runs several), removed at exit.
class ScratchFile {
public:
    ScratchFile() {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/orv-fuzz-XXXXXX";
        path_ = pattern;
        int fd = mkstemp(&path_[0]);
        if (fd < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        close(fd);
    }
    ~ScratchFile() { unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's contents with the bytes; returns its path.
    const char* Write(const unsigned char* data, size_t size) {
        FILE* f = std::fopen(path_.c_str(), "wb");
        FUZZ_CHECK(f != nullptr);
        FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, f) == size);
        FUZZ_CHECK(std::fclose(f) == 0);
        return path_.c_str();
    }

private:
    std::string path_;
};

}  // namespace fuzzsupport

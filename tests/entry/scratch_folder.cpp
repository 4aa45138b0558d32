#include "tests/entry/scratch_folder.h"

#include <dirent.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

const char kPrefix[] = "orvendale-entry-";

// When the process started, in clock ticks since boot: with the pid it names a process
// for good, since a pid alone may be reused. Empty when there is no such process.
std::string StartTime(long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The name in parentheses may hold blanks; the fields after it are plain. The start
    // time is field 22, the 20th after the name.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return "";
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    for (int i = 0; i < 20 && (fields >> field); ++i) {
    }
    return field;
}

std::string OwnerLine(long pid) { return std::to_string(pid) + " " + StartTime(pid); }

}  // namespace

std::string EnterScratchDataFolder(const char* what, int failCode, int deadlineSeconds) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1) std::exit(failCode);  // the test is already gone
    alarm((unsigned)deadlineSeconds);
    SweepScratchFolders();
    std::string pattern = std::string("/tmp/") + kPrefix + what + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) std::exit(failCode);
    const std::string dir = name.data();
    std::ofstream(dir + "/.owner") << OwnerLine((long)getpid()) << "\n";
    const std::string copy = "cp " ORV_DATA_DIR "/* '" + dir + "'";
    if (std::system(copy.c_str()) != 0 || chdir(dir.c_str()) != 0) std::exit(failCode);
    return dir;
}

void WriteSettingsSize(int width, int height) {
    std::ofstream("Settings.ini") << "n_Width = " << width << ";\nn_Height = " << height
                                  << ";\n";
}

void RemoveScratchFolder(const std::string& dir) {
    if (std::system(("rm -rf '" + dir + "'").c_str()) != 0)
        std::fprintf(stderr, "scratch folder %s left\n", dir.c_str());
}

void SweepScratchFolders() {
    DIR* tmp = opendir("/tmp");
    if (tmp == nullptr) return;
    std::vector<std::string> gone;
    while (const dirent* entry = readdir(tmp)) {
        if (std::strncmp(entry->d_name, kPrefix, sizeof kPrefix - 1) != 0) continue;
        const std::string dir = std::string("/tmp/") + entry->d_name;
        std::ifstream owner(dir + "/.owner");
        long pid = 0;
        std::string started;
        // A folder without its owner's line is being made right now.
        if (!(owner >> pid >> started)) continue;
        if (StartTime(pid) != started) gone.push_back(dir);
    }
    closedir(tmp);
    for (const std::string& dir : gone) RemoveScratchFolder(dir);
}

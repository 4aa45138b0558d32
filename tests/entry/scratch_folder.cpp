#include "tests/entry/scratch_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

std::string EnterScratchDataFolder(const char* what, int failCode) {
    std::string pattern = std::string("/tmp/orvendale-") + what + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) std::exit(failCode);
    const std::string dir = name.data();
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

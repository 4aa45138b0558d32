// Configuration parser: ConfigFile::Parse on the input, then every lookup kind on the
// names the input defines or mentions (and the names the game asks for), following
// references and lists. Checks the lookups' promises: results are known codes, a failed
// scalar lookup writes nothing, a list lookup never writes past the list it names.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/tokenizer.h"
#include "fuzz/fuzz_support.h"

namespace {

// Lookups follow reference chains up to 256 deep over all tokens: keep the number of
// names per input bounded so that one input stays fast.
const size_t kMaxNames = 48;

const char* const kGameNames[] = {
    "n_Width",       "n_Height",        "n_max_char",     "n_space_style", "f_default_width",
    "f_side_ratio",  "char[0].n_sign", "char[0].n_data", "char[1].n_sign", "char[1].n_data",
    "default_char.n_data", "",
};

ConfigFile* g_probe;  // a small file parsed once: lookups must keep working on it

bool KnownLookupResult(int r) {
    return r == ConfigOk || r == ConfigNotFound || r == ConfigNoTokens || r == ConfigWrongKind ||
           r == ConfigTooDeep;
}

void LookUpEverything(ConfigFile& config, const char* name, bool parsed) {
    const int sentinel = 0x5A5A5A5A;
    int i = sentinel;
    int r = config.GetInt(name, &i);
    FUZZ_CHECK(KnownLookupResult(r));
    FUZZ_CHECK(parsed || r == ConfigNoTokens);
    if (r != ConfigOk) FUZZ_CHECK(i == sentinel);

    char c = 'Z';
    r = config.GetChar(name, &c);
    FUZZ_CHECK(KnownLookupResult(r));
    if (r != ConfigOk) FUZZ_CHECK(c == 'Z');

    float f = 12345.0f;
    r = config.GetReal(name, &f);
    FUZZ_CHECK(KnownLookupResult(r));
    if (r != ConfigOk) FUZZ_CHECK(f == 12345.0f);

    int length = -1;
    r = config.GetListLength(name, &length);
    FUZZ_CHECK(KnownLookupResult(r));
    if (r == ConfigOk) FUZZ_CHECK(length >= 1);
    // Nothing asked, nothing written: a null array is never touched.
    FUZZ_CHECK(KnownLookupResult(config.GetRealList(name, nullptr, 0)));
    if ((r == ConfigOk || r == ConfigWrongKind) && length >= 1) {
        // An array of exactly the counted length, asked for more than it holds: the
        // lookup must stop at the list's end, never write past it.
        std::unique_ptr<float[]> values(new float[(size_t)length]);
        int lr = config.GetRealList(name, values.get(), length + 3);
        FUZZ_CHECK(KnownLookupResult(lr));
        lr = config.GetRealList(name, values.get(), length);
        FUZZ_CHECK(KnownLookupResult(lr));
        lr = config.GetRealList(name, values.get(), 1);
        FUZZ_CHECK(KnownLookupResult(lr));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static const char probe[] = "x = 1; l = {1, x};";
    FILE* f = fmemopen((void*)probe, sizeof probe - 1, "r");
    g_probe = new ConfigFile;
    FUZZ_CHECK(f != nullptr && g_probe->Parse(f) == ConfigOk);
    std::fclose(f);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ConfigFile config;
    int parsed;
    if (size == 0) {
        parsed = config.Parse(nullptr);
    } else {
        // Text mode, as the game opens its files.
        FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
        FUZZ_CHECK(f != nullptr);
        parsed = config.Parse(f);
        std::fclose(f);
    }
    FUZZ_CHECK(parsed == ConfigOk || parsed == ConfigNotFound || parsed == ConfigBadStatement ||
               parsed == ConfigOutOfMemory);
    FUZZ_CHECK(std::strlen(config.LastMessage()) < Tokenizer::MessageSize);
    if (parsed != ConfigOk) FUZZ_CHECK(config.TokenCount() == 0 && config.Tokens() == nullptr);

    // Names: every identifier and string the file holds, then the game's own.
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (int k = 0; k < config.TokenCount() && names.size() < kMaxNames; ++k) {
        const Token& t = config.Tokens()[k];
        FUZZ_CHECK(t.kind >= TokenOpenBrace && t.kind < TokenError);
        FUZZ_CHECK((t.text != nullptr) == (t.kind == TokenIdentifier || t.kind == TokenString));
        if (t.text != nullptr && seen.insert(t.text).second) names.push_back(t.text);
    }
    for (const char* n : kGameNames)
        if (seen.insert(n).second) names.push_back(n);

    for (const std::string& n : names) LookUpEverything(config, n.c_str(), parsed == ConfigOk);
    LookUpEverything(config, nullptr, parsed == ConfigOk);

    // Clearing twice is harmless; lookups afterwards find nothing.
    config.Clear();
    FUZZ_CHECK(config.Clear() == ConfigNoTokens);
    int v = 0;
    FUZZ_CHECK(config.GetInt("x", &v) == ConfigNoTokens);

    // The nesting counters are shared by every ConfigFile: all lookups above must have
    // given theirs back.
    int x = 0;
    float l[2] = {0, 0};
    FUZZ_CHECK(g_probe->GetInt("x", &x) == ConfigOk && x == 1);
    FUZZ_CHECK(g_probe->GetRealList("l", l, 2) == ConfigOk && l[1] == 1.0f);
    return 0;
}

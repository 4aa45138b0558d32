#include "config/config_file.h"

#include <cstring>

#include "config/text_memory.h"

namespace {

// Lookups in progress per lookup kind, shared by every ConfigFile: a reference chain
// deeper than the limit, or a cycle such as "a = b; b = a;", ends with ConfigTooDeep
// instead of going on without end. Each name a lookup visits counts as one level, held
// until the lookup returns, exactly as if every reference were a nested call.
enum { NestInt, NestChar, NestReal, NestListLength, NestRealList, NestKinds };
int g_nesting[NestKinds];

bool IsListElement(int kind) {
    return kind == TokenIdentifier || kind == TokenInteger || kind == TokenCharacter ||
           kind == TokenReal || kind == TokenString;
}

}  // namespace

class ConfigFile::Nesting {
public:
    explicit Nesting(int kind) : counter_(g_nesting[kind]), entered_(0) {}
    ~Nesting() { counter_ -= entered_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    // One level deeper; false, and nothing taken, when the limit is reached.
    bool Enter() {
        if (counter_ >= ConfigFile::MaxNesting) return false;
        ++counter_;
        ++entered_;
        return true;
    }

private:
    int& counter_;
    int entered_;
};

ConfigFile::ConfigFile() : tokenCount(0), tokens(nullptr) {}

ConfigFile::~ConfigFile() {
    Clear();
    FreeText();
}

void ConfigFile::FreeTokens() {
    if (tokens) {
        for (int i = 0; i < tokenCount; ++i) FreeTokenText(&tokens[i]);
        TextMemFree(tokens);
    }
    tokens = nullptr;
    tokenCount = 0;
}

int ConfigFile::Clear() {
    FreeTokens();
    if (!text) return ConfigNoTokens;
    FreeText();
    return ConfigOk;
}

int ConfigFile::CountTokens(int* count) {
    readPosition = 0;
    *count = 0;
    bool previousWasString = false;
    while (!AtEnd()) {
        ++*count;
        Token token = NextToken();
        FreeTokenText(&token);
        if (token.kind == TokenString && previousWasString) --*count;  // joined later
        if (token.kind == TokenError) {
            *count = 0;
            return ConfigBadToken;
        }
        previousWasString = token.kind == TokenString;
    }
    return ConfigOk;
}

int ConfigFile::StoreTokens(int capacity) {
    readPosition = 0;
    tokenCount = 0;
    while (!AtEnd()) {
        Token token = NextToken();
        // The text tokenized cleanly a moment ago, so an error now is a failed allocation.
        if (token.kind == TokenError) return ConfigOutOfMemory;
        if (tokenCount != 0 && token.kind == TokenString &&
            tokens[tokenCount - 1].kind == TokenString) {
            Token& last = tokens[tokenCount - 1];
            size_t a = std::strlen(last.text);
            size_t b = std::strlen(token.text);
            char* joined = (char*)TextMemAlloc(a + b + 1);
            if (!joined) {
                FreeTokenText(&token);
                return ConfigOutOfMemory;
            }
            std::memcpy(joined, last.text, a);
            std::memcpy(joined + a, token.text, b + 1);
            FreeTokenText(&last);
            FreeTokenText(&token);
            last.text = joined;
            continue;
        }
        // Never store past the array counted for, whatever the second pass delivers.
        if (tokenCount == capacity) {
            FreeTokenText(&token);
            return ConfigOutOfMemory;
        }
        tokens[tokenCount++] = token;
    }
    return ConfigOk;
}

int ConfigFile::CheckStatements() const {
    const Token* t = tokens;
    const int n = tokenCount;
    int i = 0;
    while (i < n) {
        if (t[i].kind != TokenIdentifier && t[i].kind != TokenSemicolon) return ConfigBadStatement;
        if (i + 1 >= n) return ConfigBadStatement;
        if (t[i + 1].kind == TokenSemicolon && i + 1 > 2) {
            i += 2;
            continue;
        }
        if (t[i + 1].kind != TokenAssign || i + 2 >= n) return ConfigBadStatement;
        switch (t[i + 2].kind) {
            case TokenIdentifier:
                // A reference: the name starts the next statement ("a = b = 5;").
                i += 2;
                break;
            case TokenInteger:
            case TokenCharacter:
            case TokenReal:
            case TokenString:
                if (i + 3 >= n || t[i + 3].kind != TokenSemicolon) return ConfigBadStatement;
                i += 4;
                break;
            case TokenOpenBrace: {
                int j = i + 3;
                for (;;) {
                    if (j >= n || !IsListElement(t[j].kind)) return ConfigBadStatement;
                    ++j;
                    if (j >= n) return ConfigBadStatement;
                    if (t[j].kind == TokenComma) {
                        ++j;
                        continue;
                    }
                    if (t[j].kind != TokenCloseBrace) return ConfigBadStatement;
                    ++j;
                    if (j >= n || t[j].kind != TokenSemicolon) return ConfigBadStatement;
                    i = j + 1;
                    break;
                }
                break;
            }
            default:
                return ConfigBadStatement;
        }
    }
    return ConfigOk;
}

int ConfigFile::Parse(FILE* stream) {
    Clear();
    LoadFromStream(stream);

    int count = 0;
    int result = CountTokens(&count);
    if (result == ConfigOk && count != 0) {
        tokens = (Token*)TextMemAllocZeroed((size_t)count, sizeof(Token));
        if (!tokens) {
            result = ConfigOutOfMemory;
        } else {
            result = StoreTokens(count);
            if (result == ConfigOk) result = CheckStatements();
        }
    }

    FreeText();
    if (result != ConfigOk) Clear();
    return result;
}

int ConfigFile::FindValue(const char* name) const {
    if (!name) return -1;
    for (int i = 0; i + 2 < tokenCount; ++i) {
        if (tokens[i].kind == TokenIdentifier && tokens[i + 1].kind == TokenAssign &&
            std::strcmp(tokens[i].text, name) == 0) {
            return i + 2;
        }
    }
    return -1;
}

int ConfigFile::Resolve(const char* name, Nesting& nesting, int* valueIndex) const {
    for (;;) {
        if (!nesting.Enter()) return ConfigTooDeep;
        if (tokenCount == 0) return ConfigNoTokens;
        const int v = FindValue(name);
        if (v < 0) return ConfigNotFound;
        if (tokens[v].kind != TokenIdentifier) {
            *valueIndex = v;
            return ConfigOk;
        }
        name = tokens[v].text;
    }
}

int ConfigFile::GetInt(const char* name, int* out) {
    Nesting nesting(NestInt);
    int v = 0;
    if (int result = Resolve(name, nesting, &v)) return result;
    switch (tokens[v].kind) {
        case TokenInteger:
        case TokenCharacter:
            *out = tokens[v].intValue;
            return ConfigOk;
        default:
            return ConfigWrongKind;
    }
}

int ConfigFile::GetChar(const char* name, char* out) {
    Nesting nesting(NestChar);
    int v = 0;
    if (int result = Resolve(name, nesting, &v)) return result;
    switch (tokens[v].kind) {
        case TokenInteger:
        case TokenCharacter:
            *out = (char)(unsigned char)(tokens[v].intValue & 0xFF);
            return ConfigOk;
        default:
            return ConfigWrongKind;
    }
}

int ConfigFile::GetReal(const char* name, float* out) {
    Nesting nesting(NestReal);
    int v = 0;
    if (int result = Resolve(name, nesting, &v)) return result;
    switch (tokens[v].kind) {
        case TokenInteger:
            *out = (float)tokens[v].intValue;
            return ConfigOk;
        case TokenReal:
            *out = tokens[v].realValue;
            return ConfigOk;
        default:
            return ConfigWrongKind;
    }
}

int ConfigFile::GetListLength(const char* name, int* out) {
    Nesting nesting(NestListLength);
    int v = 0;
    if (int result = Resolve(name, nesting, &v)) return result;
    if (tokens[v].kind != TokenOpenBrace) return ConfigWrongKind;

    int count = 0;
    // A parsed list always closes; the bound only keeps a damaged one inside the array.
    for (int j = v + 1; j < tokenCount; j += 2) {
        int kind = tokens[j].kind;
        if (kind != TokenIdentifier && kind != TokenInteger && kind != TokenCharacter &&
            kind != TokenReal) {
            return ConfigWrongKind;
        }
        *out = ++count;
        if (j + 1 < tokenCount && tokens[j + 1].kind == TokenCloseBrace) return ConfigOk;
    }
    return ConfigWrongKind;
}

int ConfigFile::GetRealList(const char* name, float* out, int maxCount) {
    // The list's own levels stay held while its identifier elements are looked up as
    // reals: those count on the real counter, not this one.
    Nesting nesting(NestRealList);
    int v = 0;
    if (int result = Resolve(name, nesting, &v)) return result;
    if (tokens[v].kind != TokenOpenBrace) return ConfigWrongKind;
    // A count of 0 or below asks for nothing; never write through it.
    if (maxCount <= 0) return ConfigOk;

    int written = 0;
    for (int j = v + 1; j < tokenCount; j += 2) {
        const Token& element = tokens[j];
        switch (element.kind) {
            case TokenInteger:
                out[written] = (float)element.intValue;
                break;
            case TokenReal:
                out[written] = element.realValue;
                break;
            case TokenIdentifier: {
                int result = GetReal(element.text, &out[written]);
                if (result != ConfigOk) return result;
                break;
            }
            default:
                return ConfigWrongKind;
        }
        ++written;
        if (j + 1 < tokenCount && tokens[j + 1].kind == TokenCloseBrace) return ConfigOk;
        if (written == maxCount) return ConfigOk;
    }
    return ConfigWrongKind;
}

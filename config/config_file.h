// A parsed configuration text (Settings.ini, font.txt): a validated flat list of tokens
// with typed lookups by name. Names are plain identifiers; "char[3].n_sign" is one name,
// built by the caller with a format string. The first definition of a name wins, and a
// value that is another name is followed as a reference.
//
// Lookups return 0 on success or one of the result codes below, and write their output
// only on success (list lookups write element by element).
#pragma once

#include <cstdio>

#include "config/tokenizer.h"

enum ConfigResult {
    ConfigOk = 0,
    ConfigNotFound = 2,       // lookup: name not defined
    ConfigBadToken = 2,       // parse: the tokenizer failed (bad text, or no memory)
    ConfigNoTokens = 3,       // lookup: nothing parsed; clear: no text held
    ConfigBadStatement = 5,   // parse: tokens do not form statements
    ConfigOutOfMemory = 6,    // parse
    ConfigWrongKind = 7,      // lookup: value of a kind this lookup does not take
    ConfigTooDeep = 8,        // lookup: more than 256 nested lookups of one kind
};

class ConfigFile : private Tokenizer {
public:
    enum { MaxNesting = 256 };

    ConfigFile();
    virtual ~ConfigFile();
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    // Reads the whole (already opened) stream and keeps its tokens. A null, unreadable or
    // empty stream parses to no tokens with result 0.
    int Parse(FILE* stream);
    int Clear();

    int GetInt(const char* name, int* out);
    int GetChar(const char* name, char* out);
    int GetReal(const char* name, float* out);
    int GetListLength(const char* name, int* out);
    // Writes at most maxCount reals; identifier elements are looked up with GetReal.
    int GetRealList(const char* name, float* out, int maxCount);

    // For tests: the tokenizer's last message and the stored tokens.
    using Tokenizer::LastMessage;
    int TokenCount() const { return tokenCount; }
    const Token* Tokens() const { return tokens; }

private:
    void FreeTokens();
    int CountTokens(int* count);
    int StoreTokens(int capacity);
    int CheckStatements() const;
    // Index of the value token of the first definition of `name`, or -1.
    int FindValue(const char* name) const;
    // The opening every lookup shares: finds the value `name` stands for, following
    // references, and counts each name looked up as one nested lookup of the caller's
    // kind. ConfigOk with the index of a value that is not a name, or a result code.
    class Nesting;
    int Resolve(const char* name, Nesting& nesting, int* valueIndex) const;

    int tokenCount;
    Token* tokens;
};

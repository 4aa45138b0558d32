// The tokenizer of our configuration syntax (Settings.ini, font.txt): assignments of
// integers, characters, reals, strings and brace lists to names, with C and C++
// comments. It works on one whole text held in memory, delivers it character by
// character with the comments taken out, cuts it into tokens and keeps the last error
// message. ConfigFile is built on top of it. Its text comes from an opened stream
// (LoadFromStream) or from memory (LoadFromMemory), named as the other readers' loads.
#pragma once

#include <cstddef>
#include <cstdio>

enum TokenKind {
    TokenOpenBrace = 0,
    TokenCloseBrace = 1,
    TokenSemicolon = 2,
    TokenIdentifier = 3,
    TokenInteger = 4,
    TokenCharacter = 5,
    TokenReal = 6,
    TokenString = 7,
    TokenAssign = 8,
    TokenComma = 9,
    TokenError = 10,  // no token: an error was found, or the text was at its end
};

// A token owns `text` (identifiers and strings only); FreeTokenText releases it.
struct Token {
    int kind;
    int line;         // 1-based line of the token's first character
    float realValue;  // kind real
    int intValue;     // kinds integer and character
    char* text;       // kinds identifier and string, else null
};

void FreeTokenText(Token* token);

class Tokenizer {
public:
    enum { MessageSize = 256, NumberBufferSize = 256 };

    Tokenizer();
    ~Tokenizer();
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;

    // Reads the whole stream (from its current position to its end) as the text. Holds
    // no text for a null or empty stream, one too large for a 32-bit length, or when out
    // of memory.
    void LoadFromStream(FILE* stream);
    // Takes a copy of `length` bytes as the text and rewinds; 1 on success, 0 when the
    // length does not fit a 32-bit count or memory runs out (then no text is held).
    int LoadFromMemory(const char* bytes, size_t length);
    void FreeText();

    // The next character with comments removed, as a signed 8-bit value; 0 at the end.
    int ReadChar();
    // Moves the read position back by one (never below 0).
    void Unread();
    // True when only whitespace and comments are left; the read position is kept.
    bool AtEnd();
    // 1 + the line feeds in the raw text before the read position.
    int LineNumber() const;
    // Records `message` followed by " [line]" when the whole fits in the slot.
    void ReportError(const char* message, int line);
    // Skips whitespace and delivers the next token.
    Token NextToken();

    const char* LastMessage() const { return message; }
    int ReadPosition() const { return readPosition; }

protected:
    int textLength;
    int readPosition;
    char* text;
    char message[MessageSize];

private:
    mutable int lineCountPosition;  // LineNumber's last position and answer
    mutable int lineCountLine;

    // Puts back a character that the number start peeked at: a 0 read at the end of the
    // text consumed nothing there, so going back one byte would read the last byte twice.
    void PutBack(int c, int positionBefore);
    void ReportHere(const char* message);
    bool ReadEscape(int* value);
    Token ReadNumber(int first, int line);
    Token ReadString(int line);
    Token ReadCharacter(int line);
    Token ReadIdentifier(int first, int line);
};

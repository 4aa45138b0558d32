#include "config/tokenizer.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "config/text_memory.h"

namespace {

// Our own classification: bytes of 128 and above (negative here) are neither letters
// nor digits, and the C library's isalpha is never handed a negative value.
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsLetter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsHexLetter(int c) { return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsWhitespace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsIdentifierChar(int c) {
    return IsLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '[' || c == ']';
}

Token MakeToken(int kind, int line) {
    Token token;
    token.kind = kind;
    token.line = line;
    token.realValue = 0.0f;
    token.intValue = 0;
    token.text = nullptr;
    return token;
}

// Values beyond 32 bits saturate, the same on every C library.
int DecimalValue(const char* digits) {
    long long value = std::strtoll(digits, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    return (int)value;
}

int HexValue(const char* digits) {
    unsigned long long value = std::strtoull(digits, nullptr, 16);
    if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
    return (int)(unsigned int)value;
}

}  // namespace

void FreeTokenText(Token* token) {
    TextMemFree(token->text);
    token->text = nullptr;
}

Tokenizer::Tokenizer()
    : textLength(0), readPosition(0), text(nullptr), lineCountPosition(0), lineCountLine(1) {
    message[0] = '\0';
}

Tokenizer::~Tokenizer() { FreeText(); }

void Tokenizer::FreeText() {
    TextMemFree(text);
    text = nullptr;
    textLength = 0;
    readPosition = 0;
    lineCountPosition = 0;
    lineCountLine = 1;
}

int Tokenizer::LoadFromMemory(const char* bytes, size_t length) {
    FreeText();
    // The text and its terminating NUL are counted in a signed 32-bit length.
    if (length >= (size_t)INT_MAX) return 0;
    char* buffer = (char*)TextMemAlloc((size_t)length + 1);
    if (!buffer) return 0;
    if (length > 0) std::memcpy(buffer, bytes, (size_t)length);
    buffer[length] = '\0';
    text = buffer;
    textLength = length;
    return 1;
}

void Tokenizer::LoadFromStream(FILE* stream) {
    FreeText();
    if (!stream) return;
    long long count = 0;
    while (std::fgetc(stream) != EOF) {
        if (++count >= INT_MAX) return;  // the length is a signed 32-bit count
    }
    std::rewind(stream);
    if (count == 0) return;
    char* buffer = (char*)TextMemAlloc((size_t)count + 1);
    if (!buffer) return;
    // A stream that cannot be rewound, or that shrank, delivers less than was counted:
    // only the bytes actually read are text.
    size_t got = std::fread(buffer, 1, (size_t)count, stream);
    buffer[got] = '\0';
    text = buffer;
    textLength = (int)got;
}

int Tokenizer::ReadChar() {
    if (!text || readPosition >= textLength) return 0;
    int start = readPosition;
    char c = text[readPosition++];
    if (c != '/' || readPosition >= textLength) return (signed char)c;

    if (text[readPosition] == '/') {
        // Line comment: its line feed still separates tokens and ends the line.
        while (readPosition < textLength && text[readPosition] != '\n') ++readPosition;
        if (readPosition >= textLength) return 0;
        ++readPosition;
        return '\n';
    }
    if (text[readPosition] == '*') {
        // The search starts behind "/*", so "/*/" does not close the comment.
        for (int i = start + 2; i + 1 < textLength; ++i) {
            if (text[i] == '*' && text[i + 1] == '/') {
                readPosition = i + 2;
                if (readPosition >= textLength) return 0;
                // The comment is replaced by nothing: the next byte is delivered as it is,
                // without looking for another comment.
                return (signed char)text[readPosition++];
            }
        }
        readPosition = textLength;
        ReportHere("Comment into the end of file !");
        return 0;
    }
    return '/';
}

void Tokenizer::Unread() {
    if (readPosition > 0) --readPosition;
}

void Tokenizer::PutBack(int c, int positionBefore) {
    if (c == 0) {
        readPosition = positionBefore;
    } else {
        Unread();
    }
}

bool Tokenizer::AtEnd() {
    int saved = readPosition;
    int c;
    do {
        c = ReadChar();
    } while (c != 0 && IsWhitespace(c));
    readPosition = saved;
    return c == 0;
}

int Tokenizer::LineNumber() const {
    // Counted from the last answer when reading has moved forward since, so asking once
    // per token stays linear in the text.
    int end = readPosition < textLength ? readPosition : textLength;
    if (end < lineCountPosition) {
        lineCountPosition = 0;
        lineCountLine = 1;
    }
    for (int i = lineCountPosition; i < end; ++i) {
        if (text[i] == '\n') ++lineCountLine;
    }
    lineCountPosition = end;
    return lineCountLine;
}

void Tokenizer::ReportError(const char* msg, int line) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " [%d]", line);
    size_t length = std::strlen(msg);
    if (length > MessageSize - 1) length = MessageSize - 1;
    std::memcpy(message, msg, length);
    message[length] = '\0';
    if (std::strlen(msg) + std::strlen(suffix) <= MessageSize - 1) {
        std::memcpy(message + length, suffix, std::strlen(suffix) + 1);
    }
}

void Tokenizer::ReportHere(const char* msg) { ReportError(msg, LineNumber()); }

bool Tokenizer::ReadEscape(int* value) {
    int c = ReadChar();
    switch (c) {
        case '"': *value = 34; return true;
        case '\'': *value = 39; return true;
        case '\\': *value = 92; return true;
        case '0': *value = 0; return true;
        case 'a': *value = 7; return true;
        case 'b': *value = 8; return true;
        case 'f': *value = 12; return true;
        case 'n': *value = 10; return true;
        case 'r': *value = 13; return true;
        case 't': *value = 9; return true;
        case 'v': *value = 11; return true;
        default:
            ReportHere("Unknown escape sequence (skipping)");
            return false;
    }
}

Token Tokenizer::NextToken() {
    int c;
    do {
        c = ReadChar();
    } while (c != 0 && IsWhitespace(c));
    if (c == 0) return MakeToken(TokenError, 0);

    int line = LineNumber();
    if (IsDigit(c) || c == '.') return ReadNumber(c, line);
    if (c == '"') return ReadString(line);
    if (c == '\'') return ReadCharacter(line);
    if (IsLetter(c) || c == '_') return ReadIdentifier(c, line);
    switch (c) {
        case ',': return MakeToken(TokenComma, line);
        case ';': return MakeToken(TokenSemicolon, line);
        case '=': return MakeToken(TokenAssign, line);
        case '{': return MakeToken(TokenOpenBrace, line);
        case '}': return MakeToken(TokenCloseBrace, line);
        default:
            ReportHere("Unknown token found");
            return MakeToken(TokenError, line);
    }
}

Token Tokenizer::ReadNumber(int first, int line) {
    bool hex = false;
    if (first == '0') {
        int before = readPosition;
        int next = ReadChar();
        if (next == 'x' || next == 'X') {
            hex = true;
        } else {
            PutBack(next, before);
        }
    }

    char digits[NumberBufferSize];
    int stored = 0;
    int points = 0;
    int c = first;
    for (;;) {
        if (stored == NumberBufferSize - 1) {
            ReportHere("Too long number found !");
            return MakeToken(TokenError, line);
        }
        if (c == '.') ++points;
        digits[stored++] = (char)c;

        c = ReadChar();
        if (c == 0) break;
        if (c == '.' || IsDigit(c) || (hex && IsHexLetter(c))) continue;
        Unread();
        break;
    }
    digits[stored] = '\0';

    Token token = MakeToken(TokenInteger, line);
    if (hex) {
        if (points != 0) return MakeToken(TokenError, line);
        token.intValue = HexValue(digits);
    } else if (points != 0) {
        token.kind = TokenReal;
        token.realValue = (float)std::atof(digits);
    } else {
        token.intValue = DecimalValue(digits);
    }
    return token;
}

Token Tokenizer::ReadString(int line) {
    // Measure and validate first, then build from the same characters.
    int start = readPosition;
    int length = 0;
    for (;;) {
        int c = ReadChar();
        if (c == 0) {
            ReportHere("Unexpected end of file found");
            return MakeToken(TokenError, line);
        }
        if (c == '\n') {
            ReportHere("Newline in constant");
            return MakeToken(TokenError, line);
        }
        if (c == '"') break;
        if (c == '\\') {
            int value;
            if (ReadEscape(&value)) ++length;
        } else {
            ++length;
        }
    }
    int end = readPosition;

    char* built = (char*)TextMemAllocZeroed((size_t)length + 1, 1);
    if (!built) {
        ReportHere("String is too long to fit in memory");
        return MakeToken(TokenError, line);
    }
    readPosition = start;
    int written = 0;
    for (;;) {
        int c = ReadChar();
        if (c == 0 || c == '\n' || c == '"') break;
        int value = c;
        if (c == '\\' && !ReadEscape(&value)) continue;
        if (value == 0) continue;  // "\0" adds nothing
        if (written < length) built[written++] = (char)value;
    }
    readPosition = end;

    Token token = MakeToken(TokenString, line);
    token.text = built;
    return token;
}

Token Tokenizer::ReadCharacter(int line) {
    int value = ReadChar();
    if (value == 0) {
        ReportHere("Unexpected end of file found");
        return MakeToken(TokenError, line);
    }
    if (value == '\n') {
        ReportHere("Newline in constant");
        return MakeToken(TokenError, line);
    }
    if (value == '\\' && !ReadEscape(&value)) value = 0;

    int close = ReadChar();
    if (close == 0) {
        ReportHere("Unexpected end of file found");
        return MakeToken(TokenError, line);
    }
    if (close != '\'') {
        ReportHere("Expected quotation mark not found");
        return MakeToken(TokenError, line);
    }
    Token token = MakeToken(TokenCharacter, line);
    token.intValue = value;
    return token;
}

Token Tokenizer::ReadIdentifier(int first, int line) {
    // The delivered character always stands just before the read position, even right
    // after a comment; measure from there, then read the same characters into the text.
    int start = readPosition - 1;
    int length = 1;
    for (;;) {
        int c = ReadChar();
        if (c == 0) break;
        if (!IsIdentifierChar(c)) {
            Unread();
            break;
        }
        ++length;
    }
    int end = readPosition;

    char* name = (char*)TextMemAlloc((size_t)length + 1);
    if (!name) {
        ReportHere("String is too long to fit in memory");
        return MakeToken(TokenError, line);
    }
    readPosition = start;
    for (int i = 0; i < length; ++i) name[i] = (char)ReadChar();
    name[length] = '\0';
    name[0] = (char)first;
    readPosition = end;

    Token token = MakeToken(TokenIdentifier, line);
    if (std::strcmp(name, "_e") == 0) {
        TextMemFree(name);
        token.kind = TokenReal;
        token.realValue = (float)std::exp(1.0);
        return token;
    }
    if (std::strcmp(name, "Pi") == 0) {
        TextMemFree(name);
        token.kind = TokenReal;
        token.realValue = 3.1415927f;
        return token;
    }
    token.text = name;
    return token;
}

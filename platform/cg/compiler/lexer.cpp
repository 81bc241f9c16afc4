// Tokenizer of the Cg compiler, with the identifier table and the error report that every stage
// uses. Bytes outside printable ASCII (other than white space) are errors, so arbitrary input
// ends in a listing line instead of undefined behaviour further on.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/cg/compiler/tree.h"

// ---- Errors -------------------------------------------------------------------------------------

// Keeps the first error only: later ones are usually echoes of it.
void CgErrorAt(CgCompiler* c, int line, const char* format, ...) {
    if (c->failed) {
        return;
    }
    c->failed = 1;
    c->errorLine = line;
    va_list args;
    va_start(args, format);
    vsnprintf(c->error, sizeof c->error, format, args);
    va_end(args);
    // The parser stops at the end token, so every loop unwinds quickly after an error.
    c->tok.kind = TokEnd;
    c->lexer.pos = c->lexer.length;
}

// "expected X near Y", naming the current token (shortened) or the end of the file.
void CgErrorNear(CgCompiler* c, const char* expected) {
    if (c->tok.kind == TokEnd) {
        CgErrorAt(c, c->tok.line, "expected %s near end of file", expected);
        return;
    }
    int length = c->tok.length > 32 ? 32 : c->tok.length;
    char near[40];
    int n = 0;
    for (int i = 0; i < length; ++i) {
        const unsigned char ch = (unsigned char)c->lexer.text[c->tok.start + i];
        near[n++] = (ch >= 32 && ch < 127) ? (char)ch : '?';
    }
    near[n] = 0;
    CgErrorAt(c, c->tok.line, "expected %s near '%s'", expected, near);
}

// ---- Names --------------------------------------------------------------------------------------

static unsigned NameHash(const char* text, int length) {
    unsigned h = 2166136261u;  // FNV-1a
    for (int i = 0; i < length; ++i) {
        h = (h ^ (unsigned char)text[i]) * 16777619u;
    }
    return h;
}

// Returns the index of the identifier, adding it on first sight; -1 (with an error) when full.
int CgNameIntern(CgCompiler* c, const char* text, int length) {
    unsigned slot = NameHash(text, length) & (CgNameHashSize - 1);
    while (c->nameHash[slot] != 0) {
        const int name = c->nameHash[slot] - 1;
        if (c->nameLength[name] == length &&
            memcmp(c->namePool + c->nameOffset[name], text, (size_t)length) == 0) {
            return name;
        }
        slot = (slot + 1) & (CgNameHashSize - 1);
    }
    if (c->nameCount >= CgMaxNames || c->namePoolUsed + length + 1 > CgNamePoolSize) {
        CgErrorAt(c, c->tok.line, "program too large: too many names");
        return -1;
    }
    const int name = c->nameCount++;
    c->nameOffset[name] = c->namePoolUsed;
    c->nameLength[name] = length;
    memcpy(c->namePool + c->namePoolUsed, text, (size_t)length);
    c->namePool[c->namePoolUsed + length] = 0;
    c->namePoolUsed += length + 1;
    c->nameHash[slot] = name + 1;
    return name;
}

const char* CgNameText(const CgCompiler* c, int name) {
    if (name < 0 || name >= c->nameCount) {
        return "?";
    }
    return c->namePool + c->nameOffset[name];
}

// ---- Tokens -------------------------------------------------------------------------------------

void CgLexStart(CgCompiler* c, const char* text, int length) {
    c->lexer.text = text;
    c->lexer.length = length;
    c->lexer.pos = 0;
    c->lexer.line = 1;
    c->tok.kind = TokEnd;
    c->tok.line = 1;
    CgLexNext(c);
}

int CgTokenIs(const CgCompiler* c, const char* word) {
    const int n = (int)strlen(word);
    return c->tok.kind == TokIdent && c->tok.length == n &&
           memcmp(c->lexer.text + c->tok.start, word, (size_t)n) == 0;
}

static int IsIdentStart(int ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_';
}

static int IsDigit(int ch) {
    return ch >= '0' && ch <= '9';
}

// Skips white space and both comment forms; returns 0 after reporting an unterminated comment.
static int SkipSpace(CgCompiler* c) {
    CgLexer* l = &c->lexer;
    while (l->pos < l->length) {
        const char ch = l->text[l->pos];
        if (ch == '\n') {
            ++l->line;
            ++l->pos;
        } else if (ch == ' ' || ch == '\t' || ch == '\r' || ch == '\f' || ch == '\v') {
            ++l->pos;
        } else if (ch == '/' && l->pos + 1 < l->length && l->text[l->pos + 1] == '/') {
            while (l->pos < l->length && l->text[l->pos] != '\n') {
                ++l->pos;
            }
        } else if (ch == '/' && l->pos + 1 < l->length && l->text[l->pos + 1] == '*') {
            const int startLine = l->line;
            l->pos += 2;
            while (l->pos < l->length && !(l->text[l->pos] == '*' && l->pos + 1 < l->length &&
                                           l->text[l->pos + 1] == '/')) {
                if (l->text[l->pos] == '\n') {
                    ++l->line;
                }
                ++l->pos;
            }
            if (l->pos >= l->length) {
                CgErrorAt(c, startLine, "unterminated comment");
                return 0;
            }
            l->pos += 2;
        } else {
            return 1;
        }
    }
    return 1;
}

// Decimal integers, 0x hexadecimal integers and floats with an optional f/h/x suffix.
static void LexNumber(CgCompiler* c) {
    CgLexer* l = &c->lexer;
    const char* s = l->text;
    int p = l->pos;
    int isFloat = 0;
    double value = 0.0;
    if (s[p] == '0' && p + 1 < l->length && (s[p + 1] == 'x' || s[p + 1] == 'X')) {
        p += 2;
        int digits = 0;
        while (p < l->length) {
            const char ch = s[p];
            int v = -1;
            if (IsDigit(ch)) {
                v = ch - '0';
            } else if (ch >= 'a' && ch <= 'f') {
                v = ch - 'a' + 10;
            } else if (ch >= 'A' && ch <= 'F') {
                v = ch - 'A' + 10;
            }
            if (v < 0) {
                break;
            }
            value = value * 16.0 + v;
            ++digits;
            ++p;
        }
        if (digits == 0) {
            CgErrorAt(c, l->line, "malformed number");
            return;
        }
    } else {
        char buffer[64];
        int n = 0;
        while (p < l->length && (IsDigit(s[p]) || s[p] == '.')) {
            isFloat |= s[p] == '.';
            if (n < 62) {
                buffer[n++] = s[p];
            }
            ++p;
        }
        if (p < l->length && (s[p] == 'e' || s[p] == 'E')) {
            isFloat = 1;
            if (n < 62) {
                buffer[n++] = 'e';
            }
            ++p;
            if (p < l->length && (s[p] == '+' || s[p] == '-')) {
                if (n < 62) {
                    buffer[n++] = s[p];
                }
                ++p;
            }
            if (p >= l->length || !IsDigit(s[p])) {
                CgErrorAt(c, l->line, "malformed number");
                return;
            }
            while (p < l->length && IsDigit(s[p])) {
                if (n < 62) {
                    buffer[n++] = s[p];
                }
                ++p;
            }
        }
        buffer[n] = 0;
        if (n >= 62) {
            CgErrorAt(c, l->line, "number too long");
            return;
        }
        char* end = 0;
        value = strtod(buffer, &end);
        if (end != buffer + n) {
            CgErrorAt(c, l->line, "malformed number");
            return;
        }
        if (p < l->length && (s[p] == 'f' || s[p] == 'F' || s[p] == 'h' || s[p] == 'H' ||
                              s[p] == 'x' || s[p] == 'X')) {
            isFloat = 1;
            ++p;
        }
    }
    if (p < l->length && (IsIdentStart(s[p]) || IsDigit(s[p]))) {
        CgErrorAt(c, l->line, "malformed number");
        return;
    }
    // Past this a float rounds to infinity, which GLSL cannot write as a constant.
    if (isFloat && value >= 3.4028235677973366e38) {
        CgErrorAt(c, l->line, "float constant out of range");
        return;
    }
    if (!isFloat && value > 2147483647.0) {
        CgErrorAt(c, l->line, "integer constant too large");
        return;
    }
    c->tok.kind = isFloat ? TokFloat : TokInt;
    c->tok.number = value;
    c->tok.length = p - l->pos;
    l->pos = p;
}

void CgLexNext(CgCompiler* c) {
    CgLexer* l = &c->lexer;
    if (c->failed || !SkipSpace(c)) {
        c->tok.kind = TokEnd;
        return;
    }
    c->tok.length = 0;
    c->tok.number = 0.0;
    if (l->pos >= l->length) {
        // The end keeps the line of the last token: that is where something is missing.
        c->tok.kind = TokEnd;
        c->tok.start = l->pos;
        return;
    }
    c->tok.start = l->pos;
    c->tok.line = l->line;
    const unsigned char ch = (unsigned char)l->text[l->pos];
    if (IsIdentStart(ch)) {
        int p = l->pos;
        while (p < l->length && (IsIdentStart(l->text[p]) || IsDigit(l->text[p]))) {
            ++p;
        }
        if (p - l->pos > CgMaxNameLength) {
            CgErrorAt(c, l->line, "identifier too long");
            return;
        }
        c->tok.kind = TokIdent;
        c->tok.length = p - l->pos;
        l->pos = p;
        return;
    }
    if (IsDigit(ch) ||
        (ch == '.' && l->pos + 1 < l->length && IsDigit((unsigned char)l->text[l->pos + 1]))) {
        LexNumber(c);
        return;
    }
    const int pair = l->pos + 1 < l->length ? CgOperatorToken((char)ch, l->text[l->pos + 1]) : 0;
    if (pair) {
        c->tok.kind = pair;
        c->tok.length = 2;
        l->pos += 2;
        return;
    }
    if (strchr("+-*/%=<>!&|^~?:;,.()[]{}#@$\\'\"`", ch) != 0 && ch != 0) {
        c->tok.kind = ch;
        c->tok.length = 1;
        ++l->pos;
        return;
    }
    CgErrorAt(c, l->line, "invalid character 0x%02X in source", ch);
}

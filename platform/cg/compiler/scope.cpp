// Name scopes of the Cg compiler: variables visible at the parser's position, innermost last, and
// the table of functions defined so far (a function must be defined before it is called, as in C,
// which also rules out recursion, which GLSL forbids).
#include "platform/cg/compiler/tree.h"

void CgScopePush(CgCompiler* c) {
    ++c->scope;
}

void CgScopePop(CgCompiler* c) {
    while (c->scopeTop > 0 && c->vars[c->scopeStack[c->scopeTop - 1]].scope >= c->scope) {
        --c->scopeTop;
    }
    --c->scope;
}

// Adds a variable to the current scope; a second one of the same name in that scope is an error.
int CgScopeDeclare(CgCompiler* c, const CgSymbol* symbol, const int line) {
    for (int i = c->scopeTop - 1; i >= 0; --i) {
        const CgSymbol* other = &c->vars[c->scopeStack[i]];
        if (other->scope < c->scope) {
            break;
        }
        if (other->name == symbol->name) {
            CgErrorAt(c, line, "redefinition of '%s'", CgNameText(c, symbol->name));
            return -1;
        }
    }
    const int varLimit = (int)(sizeof c->vars / sizeof c->vars[0]);
    if (c->scopeTop >= CgMaxSymbols || c->varCount >= varLimit) {
        CgErrorAt(c, line, "program too large: too many variables");
        return -1;
    }
    const int index = c->varCount++;
    c->vars[index] = *symbol;
    c->vars[index].scope = c->scope;
    c->scopeStack[c->scopeTop++] = index;
    return index;
}

int CgScopeFind(const CgCompiler* c, const int name) {
    for (int i = c->scopeTop - 1; i >= 0; --i) {
        if (c->vars[c->scopeStack[i]].name == name) {
            return c->scopeStack[i];
        }
    }
    return -1;
}

int CgFunctionFind(const CgCompiler* c, const int name) {
    for (int i = 0; i < c->functionCount; ++i) {
        if (c->functions[i].name == name) {
            return i;
        }
    }
    return -1;
}

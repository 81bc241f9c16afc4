// Type rules of the Cg compiler for casts, constructors and calls: what a cast may convert,
// how many components a constructor takes, and how call arguments meet the parameters of a
// user function (out and inout need an exact, assignable argument). Intrinsics are in
// intrinsics.cpp; texture sampling is reported as outside the vertex-program subset.
#include <cstring>

#include "platform/cg/compiler/nodes.h"

static void NameOf(const CgCompiler* c, const CgType t, char* out) {
    CgTypeName(c, t, out, 64);
}

static int Flags(const CgCompiler* c, const int a) {
    return c->nodes[a].flags & NodeConstant;
}

// (type) expression: any scalar to any scalar, a scalar to a vector, a vector to a vector of
// the same or fewer components, a float matrix to one no larger.
int CgCheckCast(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    const CgType to = n->type;
    const CgType from = c->nodes[CgOperand(n)].type;
    const int scalarish = from.base != BaseStruct && from.base != BaseVoid && !from.matrix;
    int ok = 0;
    if (CgTypeIsScalar(to)) {
        ok = CgTypeIsScalar(from);
    } else if (CgTypeIsVector(to)) {
        ok = scalarish && from.cols >= (CgTypeIsScalar(from) ? 1 : to.cols);
    } else if (to.matrix) {
        ok = from.matrix && from.rows >= to.rows && from.cols >= to.cols;
    } else if (to.base == BaseStruct) {
        ok = CgTypeEqual(from, to);
    }
    if (!ok) {
        char a[64], b[64];
        NameOf(c, from, a);
        NameOf(c, to, b);
        CgErrorAt(c, n->line, "cannot cast '%s' to '%s'", a, b);
        return 0;
    }
    n->flags = (unsigned char)Flags(c, CgOperand(n));
    return node;
}

// typeN(...) takes scalars and vectors whose components add up to exactly N (or one scalar);
// floatRxC(...) takes R*C components in row order, or one larger matrix.
int CgCheckConstruct(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    const CgType to = n->type;
    char toText[64];
    NameOf(c, to, toText);
    if (to.base == BaseStruct || to.base == BaseVoid) {
        CgErrorAt(c, n->line, "'%s' has no constructor", toText);
        return 0;
    }
    int count = 0, components = 0, constant = NodeConstant, matrixArg = 0;
    for (int arg = CgArguments(n); arg; arg = c->nodes[arg].next) {
        const CgType t = c->nodes[arg].type;
        if (t.base == BaseStruct || t.base == BaseVoid) {
            char a[64];
            NameOf(c, t, a);
            CgErrorAt(c, n->line, "'%s' cannot be used to construct '%s'", a, toText);
            return 0;
        }
        matrixArg |= t.matrix;
        ++count;
        components += CgTypeComponents(t);
        constant &= c->nodes[arg].flags;
    }
    n->flags = (unsigned char)constant;
    if (count == 1 && CgTypeIsScalar(c->nodes[CgArguments(n)].type) && !to.matrix) {
        return node;  // a scalar fills every component
    }
    if (count == 1 && matrixArg && to.matrix) {
        n->kind = NodeConvert;
        return CgCheckCast(c, node);
    }
    if (matrixArg) {
        CgErrorAt(c, n->line, "a matrix cannot be an argument of '%s'", toText);
        return 0;
    }
    if (components != CgTypeComponents(to)) {
        CgErrorAt(c, n->line, "'%s' needs %d components, not %d", toText, CgTypeComponents(to),
                  components);
        return 0;
    }
    return node;
}

// Converts the arguments of a call to its parameters; out and inout need an exact lvalue.
static int CheckUserCall(CgCompiler* c, const int node, const int function) {
    const CgFunction* f = &c->functions[function];
    CgNode* n = &c->nodes[node];
    const char* name = CgNameText(c, f->name);
    if (function == c->entryFunction) {
        CgErrorAt(c, n->line, "the entry function '%s' cannot be called", name);
        return 0;
    }
    int prev = 0, i = 0;
    for (int arg = CgArguments(n); arg; ++i) {
        if (i >= f->paramCount) {
            break;
        }
        const CgSymbol* p = &f->params[i];
        int converted = arg;
        if (p->qual == QualOut || p->qual == QualInOut) {
            char want[64];
            NameOf(c, p->type, want);
            if (!(c->nodes[arg].flags & NodeLvalue) || !CgTypeEqual(c->nodes[arg].type, p->type)) {
                CgErrorAt(c, n->line, "argument %d of '%s' must be an assignable '%s'", i + 1, name,
                          want);
                return 0;
            }
        } else {
            converted = CgCheckConvert(c, arg, p->type, "argument");
            if (!converted) {
                return 0;
            }
        }
        if (prev) {
            c->nodes[prev].next = converted;
        } else {
            CgSetArguments(&c->nodes[node], converted);
        }
        prev = converted;
        arg = c->nodes[converted].next;
    }
    int given = 0;
    for (int arg = CgArguments(&c->nodes[node]); arg; arg = c->nodes[arg].next) {
        ++given;
    }
    if (given != f->paramCount) {
        CgErrorAt(c, c->nodes[node].line, "'%s' takes %d arguments, not %d", name, f->paramCount,
                  given);
        return 0;
    }
    n = &c->nodes[node];
    n->op = (short)function;
    n->type = f->returnType;
    return node;
}

static int IsTextureFunction(const char* name) {
    if (strncmp(name, "tex", 3) != 0) {
        return 0;
    }
    const char* rest = name + 3;
    return (rest[0] >= '1' && rest[0] <= '3') || strncmp(rest, "CUBE", 4) == 0 ||
           strncmp(rest, "RECT", 4) == 0 || strncmp(rest, "BUF", 3) == 0;
}

// A call by name: a user function defined above, else an intrinsic.
int CgCheckCall(CgCompiler* c, const int node, const int name) {
    const char* text = CgNameText(c, name);
    const int line = c->nodes[node].line;
    const int function = CgFunctionFind(c, name);
    if (function >= 0) {
        return CheckUserCall(c, node, function);
    }
    if (c->currentFunction >= 0 && c->functions[c->currentFunction].name == name) {
        CgErrorAt(c, line, "recursion is not supported ('%s' calls itself)", text);
        return 0;
    }
    if (IsTextureFunction(text)) {
        CgErrorAt(c, line, "texture sampling ('%s') is not supported in a vertex program", text);
        return 0;
    }
    const int intrinsic = CgIntrinsicFind(text);
    if (intrinsic < 0) {
        CgErrorAt(c, line, "undefined function '%s'", text);
        return 0;
    }
    return CgCheckIntrinsic(c, node, intrinsic);
}

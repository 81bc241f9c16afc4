// GLSL 1.20 emitter of the Cg compiler, expressions: the output text, escaped names, type names
// and every expression node. User names are escaped (CgGlslName) so they cannot meet a GLSL
// keyword, built-in, reserved word or each other, whatever Cg's scopes allowed. A Cg matrix
// (row-major in the language) is held as the GLSL matrix of its transpose: GLSL column i is Cg
// row i, so M[i] and constructors carry over unchanged and mul(a, b) becomes (b * a).
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/cg/compiler/nodes.h"

void CgEmitText(CgCompiler* c, const char* text) {
    const int n = (int)strlen(text);
    CgCompileResult* r = c->result;
    if (c->failed) {
        return;
    }
    if (c->outLength + n + 1 > CgMaxGlslBytes) {
        CgErrorAt(c, 0, "program too large: generated code exceeds %d bytes", CgMaxGlslBytes);
        return;
    }
    memcpy(r->glsl + c->outLength, text, (size_t)n + 1);
    c->outLength += n;
}

void CgEmitFormat(CgCompiler* c, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    CgEmitText(c, buffer);
}

static void Escape(const char* prefix, const char* text, char* out, const int size) {
    int n = snprintf(out, (size_t)size, "%s", prefix);
    for (; *text && n < size - 3; ++text) {
        if (*text == '_') {
            out[n++] = '0';
        }
        out[n++] = *text;
    }
    out[n] = 0;
}

void CgGlslName(const CgCompiler* c, const int kind, const int name, char* out, const int size) {
    static const char* const Prefixes[] = {"s_", "m_", "f_"};
    Escape(Prefixes[kind], CgNameText(c, name), out, size);
}

void CgGlslVarName(const CgCompiler* c, const int var, char* out, const int size) {
    char prefix[16];
    snprintf(prefix, sizeof prefix, "v%d_", var);
    Escape(prefix, CgNameText(c, c->vars[var].name), out, size);
}

void CgEmitName(CgCompiler* c, const int kind, const int name) {
    char text[CgMaxParamGlslName];
    CgGlslName(c, kind, name, text, sizeof text);
    CgEmitText(c, text);
}

void CgEmitVar(CgCompiler* c, const int var) {
    char text[CgMaxParamGlslName];
    CgGlslVarName(c, var, text, sizeof text);
    CgEmitText(c, text);
}

// Cg floatRxC is held transposed, so its GLSL type has R columns and C rows: matRxC.
void CgEmitTypeName(CgCompiler* c, const CgType t) {
    static const char* const Scalars[] = {"void", "bool", "int", "float"};
    static const char* const VectorPrefix[] = {"", "bvec", "ivec", "vec"};
    if (t.base == BaseStruct) {
        CgEmitName(c, CgNameStruct, c->structs[t.structIndex].name);
    } else if (t.matrix) {
        if (t.rows == t.cols) {
            CgEmitFormat(c, "mat%d", t.rows);
        } else {
            CgEmitFormat(c, "mat%dx%d", t.rows, t.cols);
        }
    } else if (t.cols > 1) {
        CgEmitFormat(c, "%s%d", VectorPrefix[t.base], t.cols);
    } else {
        CgEmitText(c, Scalars[t.base]);
    }
}

static void EmitNumber(CgCompiler* c, const CgNode* n) {
    char text[48];
    if (n->type.base == BaseFloat) {
        snprintf(text, sizeof text, "%.9g", n->number);
        if (!strpbrk(text, ".e")) {
            strcat(text, ".0");
        }
    } else {
        snprintf(text, sizeof text, "%d", (int)n->number);
    }
    CgEmitText(c, text);
}

static void EmitList(CgCompiler* c, int node) {
    for (int first = 1; node; node = c->nodes[node].next, first = 0) {
        if (!first) {
            CgEmitText(c, ", ");
        }
        CgEmitExpression(c, node);
    }
}

static void EmitSwizzle(CgCompiler* c, const CgNode* n) {
    const CgType base = c->nodes[CgOperand(n)].type;
    if (base.cols == 1) {
        // GLSL 1.20 cannot swizzle a scalar: f.xxx is a constructor.
        if (n->op > 1) {
            CgEmitTypeName(c, n->type);
            CgEmitText(c, "(");
        }
        CgEmitExpression(c, CgOperand(n));
        CgEmitText(c, n->op > 1 ? ")" : "");
        return;
    }
    char letters[6] = ".";
    for (int i = 0; i < n->op; ++i) {
        letters[i + 1] = "xyzw"[n->swizzle[i]];
    }
    letters[n->op + 1] = 0;
    CgEmitExpression(c, CgOperand(n));
    CgEmitText(c, letters);
}

static void EmitBinary(CgCompiler* c, const CgNode* n) {
    const int left = CgLeft(n), right = CgRight(n);
    const CgType x = c->nodes[left].type;
    const CgType y = c->nodes[right].type;
    const char* call = 0;
    const int intDivision = n->op == '/' && n->type.base == BaseInt;
    if (n->op == '%' && c->emitConstant) {
        CgEmitInlineRemainder(c, left, right, n->type.base == BaseFloat);
        return;
    }
    if (intDivision && c->emitConstant) {
        CgEmitInlineQuotient(c, left, right);
        return;
    }
    if (intDivision) {
        call = "cg_idiv(";
    } else if (n->op == '%') {
        call = n->type.base == BaseFloat ? "cg_fmod(" : "cg_imod(";
    } else if (n->op == '*' && x.matrix && y.matrix) {
        call = "matrixCompMult(";  // Cg's * is per component; GLSL's would be a product
    }
    CgEmitText(c, call ? call : "(");
    CgEmitExpression(c, left);
    if (call) {
        CgEmitText(c, ", ");
    } else {
        CgEmitFormat(c, " %s ", CgOperatorGlsl(n->op));
    }
    CgEmitExpression(c, right);
    CgEmitText(c, ")");
}

static void EmitAssign(CgCompiler* c, const CgNode* n) {
    if (n->symbol) {
        // The helper takes the target as inout, so an index in it is evaluated once.
        CgEmitFormat(c, "cg_set%d(", n->symbol - 1);
        CgEmitExpression(c, CgTarget(n));
        CgEmitText(c, ", ");
        CgEmitExpression(c, CgValue(n));
        CgEmitText(c, ")");
        return;
    }
    CgEmitText(c, "(");
    CgEmitExpression(c, CgTarget(n));
    CgEmitFormat(c, " %s ", CgOperatorGlsl(n->op));
    CgEmitExpression(c, CgValue(n));
    CgEmitText(c, ")");
}

static void EmitIntrinsic(CgCompiler* c, const CgNode* n) {
    if (CgIntrinsicIsMul(n->op)) {
        const int a = CgArguments(n);
        const int b = c->nodes[a].next;
        CgEmitText(c, "(");
        CgEmitExpression(c, b);
        CgEmitText(c, " * ");
        CgEmitExpression(c, a);
        CgEmitText(c, ")");
        return;
    }
    if (c->emitConstant && n->op == CgIntrinsicFind("fmod")) {
        CgEmitInlineRemainder(c, CgArguments(n), c->nodes[CgArguments(n)].next, 1);
        return;
    }
    CgEmitText(c, CgIntrinsicGlslName(n->op));
    CgEmitText(c, "(");
    EmitList(c, CgArguments(n));
    CgEmitText(c, CgIntrinsicIsSaturate(n->op) ? ", 0.0, 1.0)" : ")");
}

void CgEmitExpression(CgCompiler* c, const int node) {
    const CgNode* n = &c->nodes[node];
    switch (n->kind) {
        case NodeNumber:
            EmitNumber(c, n);
            break;
        case NodeBool:
            CgEmitText(c, n->number != 0.0 ? "true" : "false");
            break;
        case NodeVar:
            CgEmitVar(c, n->symbol);
            break;
        case NodeField:
            CgEmitExpression(c, CgOperand(n));
            CgEmitText(c, ".");
            CgEmitName(c, CgNameMember,
                       c->structs[c->nodes[CgOperand(n)].type.structIndex].members[n->op].name);
            break;
        case NodeSwizzle:
            EmitSwizzle(c, n);
            break;
        case NodeIndex:
            CgEmitExpression(c, CgOperand(n));
            CgEmitText(c, "[");
            CgEmitExpression(c, CgSubscript(n));
            CgEmitText(c, "]");
            break;
        case NodeCall:
            CgEmitName(c, CgNameFunction, c->functions[n->op].name);
            CgEmitText(c, "(");
            EmitList(c, CgArguments(n));
            CgEmitText(c, ")");
            break;
        case NodeIntrinsic:
            EmitIntrinsic(c, n);
            break;
        case NodeConstruct:
            CgEmitTypeName(c, n->type);
            CgEmitText(c, "(");
            EmitList(c, CgArguments(n));
            CgEmitText(c, ")");
            break;
        case NodeConvert:
            CgEmitTypeName(c, n->type);
            CgEmitText(c, "(");
            CgEmitExpression(c, CgOperand(n));
            CgEmitText(c, ")");
            break;
        case NodeUnary:
            CgEmitFormat(c, "(%s", CgOperatorGlsl(n->op));
            CgEmitExpression(c, CgOperand(n));
            CgEmitText(c, ")");
            break;
        case NodeBinary:
            EmitBinary(c, n);
            break;
        case NodeAssign:
            EmitAssign(c, n);
            break;
        case NodeTernary:
            CgEmitText(c, "(");
            CgEmitExpression(c, CgCondition(n));
            CgEmitText(c, " ? ");
            CgEmitExpression(c, CgThen(n));
            CgEmitText(c, " : ");
            CgEmitExpression(c, CgElse(n));
            CgEmitText(c, ")");
            break;
        case NodeIncDec: {
            const char* op = CgOperatorGlsl(n->op);
            CgEmitText(c, "(");
            CgEmitText(c, (n->flags & NodePrefix) ? op : "");
            CgEmitExpression(c, CgOperand(n));
            CgEmitText(c, (n->flags & NodePrefix) ? "" : op);
            CgEmitText(c, ")");
            break;
        }
        default:
            CgErrorAt(c, n->line, "internal error: cannot emit node kind %d", n->kind);
            break;
    }
}

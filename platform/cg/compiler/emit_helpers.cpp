// Library code the GLSL needs beyond its built-ins: C's fmod and int remainder (GLSL's mod
// floors), an int quotient the driver cannot fold into a trap, and the helpers of compound
// assignments that GLSL cannot write as "a op= b". Each is emitted only when the program uses it.
#include <cstdio>

#include "platform/cg/compiler/tree.h"

// m: 1 where y is -1, else 0, as int(y == -1) or ivecN(equal(y, ivecN(-1))).
static void EmitMinusOneMask(CgCompiler* c, const int y) {
    const int cols = c->nodes[y].type.cols;
    if (cols == 1) {
        CgEmitText(c, "int(");
        CgEmitExpression(c, y);
        CgEmitText(c, " == -1)");
        return;
    }
    CgEmitFormat(c, "ivec%d(equal(", cols);
    CgEmitExpression(c, y);
    CgEmitFormat(c, ", ivec%d(-1)))", cols);
}

// The int quotient x / y of one shape without a helper function. x / y is computed as
// x / (y + 2m) * (1 - 2m) with m = 1 where y is -1: the same value, but no division by -1 is
// left for the driver to fold at compile time, where INT_MIN / -1 traps the whole process.
void CgEmitInlineQuotient(CgCompiler* c, const int x, const int y) {
    CgEmitText(c, "((");
    CgEmitExpression(c, x);
    CgEmitText(c, ") / ((");
    CgEmitExpression(c, y);
    CgEmitText(c, ") + 2 * ");
    EmitMinusOneMask(c, y);
    CgEmitText(c, ") * (1 - 2 * ");
    EmitMinusOneMask(c, y);
    CgEmitText(c, "))");
}

// fmod and % of operands of one shape without a helper function, for initializers at file
// scope, where GLSL allows only built-in calls. Naming an operand twice is harmless there: it
// is built from literals.
void CgEmitInlineRemainder(CgCompiler* c, const int x, const int y, const int isFloat) {
    CgEmitText(c, "(");
    CgEmitExpression(c, x);
    CgEmitText(c, " - ");
    CgEmitExpression(c, y);
    if (!isFloat) {
        CgEmitText(c, " * ");
        CgEmitInlineQuotient(c, x, y);
        CgEmitText(c, ")");
        return;
    }
    CgEmitText(c, " * (sign(");
    CgEmitExpression(c, x);
    CgEmitText(c, " / ");
    CgEmitExpression(c, y);
    CgEmitText(c, ") * floor(abs(");
    CgEmitExpression(c, x);
    CgEmitText(c, " / ");
    CgEmitExpression(c, y);
    CgEmitText(c, "))))");
}

int CgAssignHelperFind(CgCompiler* c, const int op, const CgType target, const CgType value,
                       const int line) {
    for (int i = 0; i < c->assignHelperCount; ++i) {
        const CgAssignHelper* h = &c->assignHelpers[i];
        if (h->op == op && CgTypeEqual(h->target, target) && CgTypeEqual(h->value, value)) {
            return i;
        }
    }
    if (c->assignHelperCount >= CgMaxAssignHelpers) {
        CgErrorAt(c, line, "program too large: too many kinds of compound assignment");
        return 0;
    }
    CgAssignHelper* h = &c->assignHelpers[c->assignHelperCount];
    h->op = op;
    h->target = target;
    h->value = value;
    return c->assignHelperCount++;
}

// T cg_setK(inout T a, V b) { a = T(R(a) op b); return a; } with R the type the operation runs
// in: a's shape in b's base type. % runs at full shape, matrix * matrix per component.
static void EmitAssignHelper(CgCompiler* c, const int k) {
    const CgAssignHelper* h = &c->assignHelpers[k];
    CgType r = h->target;
    r.base = h->value.base;
    CgEmitTypeName(c, h->target);
    CgEmitFormat(c, " cg_set%d(inout ", k);
    CgEmitTypeName(c, h->target);
    CgEmitText(c, " a, ");
    CgEmitTypeName(c, h->value);
    CgEmitText(c, " b) {\n    a = ");
    CgEmitTypeName(c, h->target);
    CgEmitText(c, "(");
    if (h->op == TokStarAssign && h->target.matrix && h->value.matrix) {
        CgEmitText(c, "matrixCompMult(a, b)");
    } else if (h->op == TokPercentAssign || (h->op == TokSlashAssign && r.base == BaseInt)) {
        const int percent = h->op == TokPercentAssign;
        CgEmitText(c, r.base == BaseFloat ? "cg_fmod(" : (percent ? "cg_imod(" : "cg_idiv("));
        CgEmitTypeName(c, r);
        CgEmitText(c, "(a), ");
        CgEmitTypeName(c, r);
        CgEmitText(c, "(b))");
    } else {
        CgEmitTypeName(c, r);
        CgEmitFormat(c, "(a) %s b", CgOperatorGlsl(CgOperatorCompoundOf(h->op)));
    }
    CgEmitText(c, ");\n    return a;\n}\n");
}

// Definitions of the library functions that GLSL lacks, for every size, when used.
void CgEmitHelpers(CgCompiler* c) {
    static const char* const FloatTypes[] = {"float", "vec2", "vec3", "vec4"};
    static const char* const IntTypes[] = {"int", "ivec2", "ivec3", "ivec4"};
    for (int i = 0; i < 4 && (c->helpersUsed & HelperFmod); ++i) {
        const char* t = FloatTypes[i];
        // sign(q) * floor(abs(q)) truncates toward zero, as C's fmod does.
        CgEmitFormat(c, "%s cg_fmod(%s a, %s b) {\n    %s q = a / b;\n", t, t, t, t);
        CgEmitText(c, "    return a - b * (sign(q) * floor(abs(q)));\n}\n");
    }
    for (int i = 0; i < 4 && (c->helpersUsed & HelperIdiv); ++i) {
        const char* t = IntTypes[i];
        if (i == 0) {
            CgEmitText(c, "int cg_idiv(int a, int b) {\n    int m = int(b == -1);\n");
        } else {
            CgEmitFormat(c, "%s cg_idiv(%s a, %s b) {\n    %s m = %s(equal(b, %s(-1)));\n", t, t, t,
                         t, t, t);
        }
        CgEmitText(c, "    return a / (b + 2 * m) * (1 - 2 * m);\n}\n");
    }
    for (int i = 0; i < 4 && (c->helpersUsed & HelperImod); ++i) {
        const char* t = IntTypes[i];
        CgEmitFormat(c, "%s cg_imod(%s a, %s b) {\n    return a - b * cg_idiv(a, b);\n}\n", t, t,
                     t);
    }
    for (int k = 0; k < c->assignHelperCount; ++k) {
        EmitAssignHelper(c, k);
    }
}

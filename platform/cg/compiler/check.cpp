// Type rules of the Cg compiler, applied by the parser to each node as soon as it is built: they
// give the node its type, wrap operands in explicit conversions where Cg converts implicitly
// (int to float, scalar to vector), and reject what Cg or this subset rejects, naming the line.
// Operators work per component; vector comparisons are outside the subset.
#include <cstring>

#include "platform/cg/compiler/nodes.h"

static void NameOf(const CgCompiler* c, const CgType t, char* out) {
    CgTypeName(c, t, out, 64);
}

static int Line(const CgCompiler* c, const int node) {
    return c->nodes[node].line;
}

// Wraps node in a conversion to `to`; the wrapper stands where node stood in any list.
static int Wrap(CgCompiler* c, const int node, const CgType to) {
    const int w = CgNodeConvert(c, to, node, Line(c, node));
    if (!w) {
        return 0;
    }
    c->nodes[w].next = c->nodes[node].next;
    c->nodes[w].flags = c->nodes[node].flags & NodeConstant;
    c->nodes[node].next = 0;
    return w;
}

// Implicit conversion: int and float change into each other at the same shape, and a scalar
// widens to a vector. Anything else (bool, sizes, structs, matrices) must match exactly.
int CgCheckConvert(CgCompiler* c, const int node, const CgType to, const char* what) {
    if (!node) {
        return 0;
    }
    CgNode* n = &c->nodes[node];
    const CgType from = n->type;
    if (CgTypeEqual(from, to)) {
        return node;
    }
    const int sameShape = from.rows == to.rows && from.cols == to.cols && from.matrix == to.matrix;
    const int widen = CgTypeIsScalar(from) && CgTypeIsVector(to);
    if (CgTypeIsNumeric(from) && CgTypeIsNumeric(to) && (sameShape || widen)) {
        if (n->kind == NodeNumber && to.base == BaseFloat) {
            n->type.base = BaseFloat;  // a literal simply becomes a float literal
            if (sameShape) {
                return node;
            }
        }
        return Wrap(c, node, to);
    }
    char a[64], b[64];
    NameOf(c, from, a);
    NameOf(c, to, b);
    CgErrorAt(c, n->line, "cannot convert '%s' to '%s' in %s", a, b, what);
    return 0;
}

int CgCheckCondition(CgCompiler* c, const int node) {
    const CgType t = c->nodes[node].type;
    if (t.base == BaseBool && CgTypeIsScalar(t)) {
        return node;
    }
    char a[64];
    NameOf(c, t, a);
    CgErrorAt(c, Line(c, node), "condition must be a scalar bool, not '%s'", a);
    return 0;
}

static int Flags(const CgCompiler* c, const int a, const int b) {
    int constant = c->nodes[a].flags & NodeConstant;
    if (b) {
        constant &= c->nodes[b].flags & NodeConstant;
    }
    return constant;
}

int CgCheckUnary(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    const CgType t = c->nodes[CgOperand(n)].type;
    n->flags = (unsigned char)Flags(c, CgOperand(n), 0);
    n->type = t;
    if (n->op == '!' ? (t.base == BaseBool && CgTypeIsScalar(t)) : CgTypeIsNumeric(t)) {
        return node;
    }
    char a[64];
    NameOf(c, t, a);
    CgErrorAt(c, n->line, "operator '%s' cannot be applied to '%s'", CgOperatorCg(n->op), a);
    return 0;
}

// The shape of a per-component operation on x and y: a scalar takes the other's shape;
// otherwise both must agree. Returns 0 when they do not.
static int CommonShape(const CgType x, const CgType y, CgType* out) {
    if (CgTypeIsScalar(x)) {
        *out = y;
    } else if (CgTypeIsScalar(y) ||
               (x.rows == y.rows && x.cols == y.cols && x.matrix == y.matrix)) {
        *out = x;
    } else {
        return 0;
    }
    out->base = (x.base == BaseFloat || y.base == BaseFloat) ? BaseFloat : BaseInt;
    out->structIndex = -1;
    return 1;
}

// Changes only the base type of an operand, keeping a scalar a scalar (GLSL accepts
// vector-scalar arithmetic once both sides share a base type).
static int ToBase(CgCompiler* c, const int node, const int base) {
    CgType t = c->nodes[node].type;
    t.base = (unsigned char)base;
    return CgCheckConvert(c, node, t, "expression");
}

// Converts an operand to `base`, and then to the full `shape` when one is given.
static int ToOperand(CgCompiler* c, const int node, const int base, const CgType* shape) {
    const int converted = ToBase(c, node, base);
    return shape ? CgCheckConvert(c, converted, *shape, "expression") : converted;
}

// Converts both operands of a binary node; the right one is not tried after the left failed.
static void ConvertOperands(CgCompiler* c, const int node, const int base, const CgType* shape) {
    const int left = ToOperand(c, CgLeft(&c->nodes[node]), base, shape);
    CgSetLeft(&c->nodes[node], left);
    const int right = left ? ToOperand(c, CgRight(&c->nodes[node]), base, shape) : 0;
    CgSetRight(&c->nodes[node], right);
}

static int BinaryError(CgCompiler* c, const CgNode* n, const CgType x, const CgType y) {
    char a[64], b[64];
    NameOf(c, x, a);
    NameOf(c, y, b);
    CgErrorAt(c, n->line, "operator '%s' cannot be applied to '%s' and '%s'", CgOperatorCg(n->op),
              a, b);
    return 0;
}

int CgCheckBinary(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    const CgType x = c->nodes[CgLeft(n)].type;
    const CgType y = c->nodes[CgRight(n)].type;
    const int op = n->op;
    const int flags = Flags(c, CgLeft(n), CgRight(n));
    if (op == TokAndAnd || op == TokOrOr) {
        if (x.base != BaseBool || y.base != BaseBool || !CgTypeIsScalar(x) || !CgTypeIsScalar(y)) {
            return BinaryError(c, n, x, y);
        }
        n->type = x;
        n->flags = (unsigned char)flags;
        return node;
    }
    const int compare =
        op == '<' || op == '>' || op == TokLe || op == TokGe || op == TokEq || op == TokNe;
    if (compare) {
        const int equality = op == TokEq || op == TokNe;
        const int bools = x.base == BaseBool && y.base == BaseBool && equality;
        if (!CgTypeIsScalar(x) || !CgTypeIsScalar(y)) {
            if ((CgTypeIsNumeric(x) || x.base == BaseBool) &&
                (CgTypeIsNumeric(y) || y.base == BaseBool)) {
                CgErrorAt(c, n->line, "comparison of vectors or matrices is not supported");
                return 0;
            }
            return BinaryError(c, n, x, y);
        }
        if (!bools && !(CgTypeIsNumeric(x) && CgTypeIsNumeric(y))) {
            return BinaryError(c, n, x, y);
        }
        if (!bools) {
            const int base = (x.base == BaseFloat || y.base == BaseFloat) ? BaseFloat : BaseInt;
            ConvertOperands(c, node, base, 0);
        }
        n->type = CgTypeMake(BaseBool, 1, 1, 0);
        n->flags = (unsigned char)flags;
        return c->failed ? 0 : node;
    }
    CgType result;
    if (!CgTypeIsNumeric(x) || !CgTypeIsNumeric(y) || !CommonShape(x, y, &result)) {
        return BinaryError(c, n, x, y);
    }
    if (op == '%' && result.matrix) {
        CgErrorAt(c, n->line, "operator '%%' is not supported on matrices");
        return 0;
    }
    const int intDivision = op == '/' && result.base == BaseInt;
    if (op == '%' || intDivision) {
        c->helpersUsed |=
            result.base == BaseFloat ? HelperFmod : (op == '%' ? HelperImod : 0) | HelperIdiv;
        // The helpers take both operands at full shape.
        ConvertOperands(c, node, result.base, &result);
    } else {
        ConvertOperands(c, node, result.base, 0);
    }
    n = &c->nodes[node];
    n->type = result;
    n->flags = (unsigned char)flags;
    return c->failed ? 0 : node;
}

static int RequireLvalue(CgCompiler* c, const int target, const char* what) {
    const CgNode* t = &c->nodes[target];
    if (t->flags & NodeLvalue) {
        return 1;
    }
    if (t->kind == NodeVar) {
        const CgSymbol* s = &c->vars[t->symbol];
        CgErrorAt(c, t->line, "cannot %s %s '%s'", what,
                  s->kind == SymUniform ? "uniform" : "constant", CgNameText(c, s->name));
    } else {
        CgErrorAt(c, t->line, "cannot %s this expression", what);
    }
    return 0;
}

int CgCheckAssign(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    if (!RequireLvalue(c, CgTarget(n), "assign to")) {
        return 0;
    }
    const CgType target = c->nodes[CgTarget(n)].type;
    if (n->op == '=') {
        CgSetValue(n, CgCheckConvert(c, CgValue(n), target, "assignment"));
    } else {
        // a op= b is a = (type of a)(a op b), as in C: b is a scalar or has a's shape, the
        // operation runs in the common base type (int c; c *= 0.5 multiplies in float) and
        // the result converts back to a's type.
        const CgType value = c->nodes[CgValue(n)].type;
        const int sameShape =
            value.rows == target.rows && value.cols == target.cols && value.matrix == target.matrix;
        if (!CgTypeIsNumeric(target) || !CgTypeIsNumeric(value) ||
            !(sameShape || CgTypeIsScalar(value))) {
            return BinaryError(c, n, target, value);
        }
        if (n->op == TokPercentAssign && target.matrix) {
            CgErrorAt(c, n->line, "operator '%%=' is not supported on matrices");
            return 0;
        }
        const int base = target.base == BaseFloat || value.base == BaseFloat ? BaseFloat : BaseInt;
        CgSetValue(n, ToBase(c, CgValue(n), base));
        n = &c->nodes[node];
        const int intDivision = n->op == TokSlashAssign && base == BaseInt;
        const int plain = base == target.base && n->op != TokPercentAssign && !intDivision &&
                          !(n->op == TokStarAssign && target.matrix && value.matrix);
        if (CgValue(n) && !plain) {
            if (n->op == TokPercentAssign || intDivision) {
                c->helpersUsed |=
                    base == BaseFloat ? HelperFmod : (intDivision ? 0 : HelperImod) | HelperIdiv;
            }
            const int helper =
                CgAssignHelperFind(c, n->op, target, c->nodes[CgValue(n)].type, n->line);
            n = &c->nodes[node];
            n->symbol = helper + 1;
        }
    }
    n = &c->nodes[node];
    n->type = target;
    return CgValue(n) && !c->failed ? node : 0;
}

// The two choices must share a type after the same conversions as arithmetic operands.
int CgCheckTernary(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    if (!CgCheckCondition(c, CgCondition(n))) {
        return 0;
    }
    const CgType x = c->nodes[CgThen(n)].type;
    const CgType y = c->nodes[CgElse(n)].type;
    CgType result = x;
    if (!CgTypeEqual(x, y)) {
        if (!CgTypeIsNumeric(x) || !CgTypeIsNumeric(y) || !CommonShape(x, y, &result)) {
            char a[64], b[64];
            NameOf(c, x, a);
            NameOf(c, y, b);
            CgErrorAt(c, n->line, "the choices of '?:' have different types '%s' and '%s'", a, b);
            return 0;
        }
        CgSetThen(n, CgCheckConvert(c, CgThen(n), result, "expression"));
        n = &c->nodes[node];
        CgSetElse(n, CgThen(n) ? CgCheckConvert(c, CgElse(n), result, "expression") : 0);
        n = &c->nodes[node];
    }
    n->type = result;
    const int condition = CgCondition(n);
    n->flags = (unsigned char)(Flags(c, condition, CgThen(n)) & Flags(c, condition, CgElse(n)));
    return CgElse(n) && !c->failed ? node : 0;
}

int CgCheckIncDec(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    if (!RequireLvalue(c, CgOperand(n), n->op == TokInc ? "increment" : "decrement")) {
        return 0;
    }
    n->type = c->nodes[CgOperand(n)].type;
    if (!CgTypeIsNumeric(n->type)) {
        char a[64];
        NameOf(c, n->type, a);
        CgErrorAt(c, n->line, "operator '%s' cannot be applied to '%s'", CgOperatorCg(n->op), a);
        return 0;
    }
    return node;
}

static int SwizzleIndex(const char ch, int* set) {
    static const char* const Sets[2] = {"xyzw", "rgba"};
    for (int s = 0; s < 2; ++s) {
        const char* hit = strchr(Sets[s], ch);
        if (hit && ch != 0) {
            if (*set >= 0 && *set != s) {
                return -2;
            }
            *set = s;
            return (int)(hit - Sets[s]);
        }
    }
    return -1;
}

// '.name' on a struct (a member) or on a scalar or vector (a swizzle of 1-4 components).
int CgCheckMember(CgCompiler* c, const int base, const int name) {
    const CgType t = c->nodes[base].type;
    const int line = Line(c, base);
    const char* text = CgNameText(c, name);
    char typeText[64];
    NameOf(c, t, typeText);
    if (t.base == BaseStruct) {
        const CgStruct* s = &c->structs[t.structIndex];
        for (int i = 0; i < s->memberCount; ++i) {
            if (s->members[i].name == name) {
                const int lvalue = c->nodes[base].flags & NodeLvalue;
                return CgNodeField(c, base, i, s->members[i].type, lvalue, line);
            }
        }
        CgErrorAt(c, line, "'%s' is not a member of %s", text, typeText);
        return 0;
    }
    if (t.matrix || t.base == BaseVoid) {
        CgErrorAt(c, line, "invalid member '.%s' on '%s'", text, typeText);
        return 0;
    }
    const int count = (int)strlen(text);
    unsigned char components[4];
    int set = -1, repeated = 0;
    for (int i = 0; i < count; ++i) {
        const int k = i < 4 ? SwizzleIndex(text[i], &set) : -1;
        if (k < 0 || k >= t.cols) {
            CgErrorAt(c, line, "invalid swizzle '.%s' on '%s'", text, typeText);
            return 0;
        }
        components[i] = (unsigned char)k;
        for (int j = 0; j < i; ++j) {
            repeated |= components[j] == k;
        }
    }
    const int flags = (repeated ? 0 : (c->nodes[base].flags & NodeLvalue)) |
                      (c->nodes[base].flags & NodeConstant);
    return CgNodeSwizzle(c, base, count, components, CgTypeMake(t.base, 1, count, 0), flags, line);
}

// v[i] is a component; M[i] is row i of a Cg matrix.
int CgCheckIndex(CgCompiler* c, const int node) {
    CgNode* n = &c->nodes[node];
    const CgType t = c->nodes[CgOperand(n)].type;
    char typeText[64];
    NameOf(c, t, typeText);
    if (!t.matrix && !CgTypeIsVector(t)) {
        CgErrorAt(c, n->line, "'%s' cannot be indexed", typeText);
        return 0;
    }
    const CgType it = c->nodes[CgSubscript(n)].type;
    if (!CgTypeIsNumeric(it) || !CgTypeIsScalar(it)) {
        CgErrorAt(c, n->line, "index must be an int");
        return 0;
    }
    const int size = t.matrix ? t.rows : t.cols;
    const CgNode* index = &c->nodes[CgSubscript(n)];
    if (index->kind == NodeNumber && (index->number < 0 || index->number >= size)) {
        CgErrorAt(c, n->line, "index %g out of range for '%s'", index->number, typeText);
        return 0;
    }
    CgSetSubscript(n, CgCheckConvert(c, CgSubscript(n), CgTypeMake(BaseInt, 1, 1, 0), "index"));
    n = &c->nodes[node];
    n->type = t.matrix ? CgTypeMake(t.base, 1, t.cols, 0) : CgTypeMake(t.base, 1, 1, 0);
    n->flags = (unsigned char)(c->nodes[CgOperand(n)].flags & NodeLvalue);
    return CgSubscript(n) ? node : 0;
}

int CgCheckIsConstant(const CgCompiler* c, const int node) {
    return (c->nodes[node].flags & NodeConstant) != 0;
}

// The Cg standard-library functions of the subset, with their GLSL names and type rules. Their
// arguments are turned into float vectors of one common size (a scalar widens, as Cg allows),
// which every GLSL 1.20 overload accepts. mul follows Cg's row-major matrices (emit.cpp).
#include <cstring>

#include "platform/cg/compiler/nodes.h"

enum IntrinsicRule {
    RuleMap,       // per component: result has the arguments' common size
    RuleSaturate,  // per component, emitted as clamp(x, 0.0, 1.0)
    RuleLength,    // one vector in, a float out
    RuleDot,       // two vectors of one size in, a float out
    RuleCross,     // two float3 in, a float3 out
    RuleMul        // matrix and vector products
};

struct IntrinsicInfo {
    const char* cg;    // name in Cg
    const char* glsl;  // name in the generated GLSL
    int args;          // argument count
    int rule;          // IntrinsicRule
};

static const IntrinsicInfo Intrinsics[] = {
    {"abs", "abs", 1, RuleMap},
    {"acos", "acos", 1, RuleMap},
    {"asin", "asin", 1, RuleMap},
    {"atan", "atan", 1, RuleMap},
    {"atan2", "atan", 2, RuleMap},
    {"ceil", "ceil", 1, RuleMap},
    {"clamp", "clamp", 3, RuleMap},
    {"cos", "cos", 1, RuleMap},
    {"cross", "cross", 2, RuleCross},
    {"degrees", "degrees", 1, RuleMap},
    {"distance", "distance", 2, RuleDot},
    {"dot", "dot", 2, RuleDot},
    {"exp", "exp", 1, RuleMap},
    {"exp2", "exp2", 1, RuleMap},
    {"floor", "floor", 1, RuleMap},
    {"fmod", "cg_fmod", 2, RuleMap},  // GLSL's mod floors; Cg's fmod truncates
    {"frac", "fract", 1, RuleMap},
    {"length", "length", 1, RuleLength},
    {"lerp", "mix", 3, RuleMap},
    {"log", "log", 1, RuleMap},
    {"log2", "log2", 1, RuleMap},
    {"max", "max", 2, RuleMap},
    {"min", "min", 2, RuleMap},
    {"mul", "", 2, RuleMul},
    {"normalize", "normalize", 1, RuleMap},
    {"pow", "pow", 2, RuleMap},
    {"radians", "radians", 1, RuleMap},
    {"reflect", "reflect", 2, RuleMap},
    {"rsqrt", "inversesqrt", 1, RuleMap},
    {"saturate", "clamp", 1, RuleSaturate},
    {"sign", "sign", 1, RuleMap},
    {"sin", "sin", 1, RuleMap},
    {"smoothstep", "smoothstep", 3, RuleMap},
    {"sqrt", "sqrt", 1, RuleMap},
    {"step", "step", 2, RuleMap},
    {"tan", "tan", 1, RuleMap},
};

enum { IntrinsicCount = (int)(sizeof Intrinsics / sizeof Intrinsics[0]) };

int CgIntrinsicFind(const char* name) {
    for (int i = 0; i < IntrinsicCount; ++i) {
        if (strcmp(Intrinsics[i].cg, name) == 0) {
            return i;
        }
    }
    return -1;
}

const char* CgIntrinsicGlslName(const int intrinsic) {
    return Intrinsics[intrinsic].glsl;
}

int CgIntrinsicIsSaturate(const int intrinsic) {
    return Intrinsics[intrinsic].rule == RuleSaturate;
}

int CgIntrinsicIsMul(const int intrinsic) {
    return Intrinsics[intrinsic].rule == RuleMul;
}

// Replaces argument `index` (counted from 0) of a call with its conversion to `to`.
static int ConvertArgument(CgCompiler* c, const int node, const int index, const CgType to) {
    int prev = 0, arg = CgArguments(&c->nodes[node]);
    for (int i = 0; i < index; ++i) {
        prev = arg;
        arg = c->nodes[arg].next;
    }
    const int converted = CgCheckConvert(c, arg, to, "argument");
    if (!converted) {
        return 0;
    }
    if (prev) {
        c->nodes[prev].next = converted;
    } else {
        CgSetArguments(&c->nodes[node], converted);
    }
    return 1;
}

static int CheckMul(CgCompiler* c, const int node, const CgType* args) {
    const CgType x = args[0];
    const CgType y = args[1];
    CgType result;
    if (x.matrix && CgTypeIsVector(y) && y.cols == x.cols) {
        result = CgTypeMake(BaseFloat, 1, x.rows, 0);
    } else if (CgTypeIsVector(x) && y.matrix && x.cols == y.rows) {
        result = CgTypeMake(BaseFloat, 1, y.cols, 0);
    } else if (x.matrix && y.matrix && x.cols == y.rows) {
        result = CgTypeMake(BaseFloat, x.rows, y.cols, 1);
    } else {
        char a[64], b[64];
        CgTypeName(c, x, a, 64);
        CgTypeName(c, y, b, 64);
        CgErrorAt(c, c->nodes[node].line, "mul cannot multiply '%s' by '%s'", a, b);
        return 0;
    }
    for (int i = 0; i < 2; ++i) {
        CgType f = args[i];
        f.base = BaseFloat;
        if (!ConvertArgument(c, node, i, f)) {
            return 0;
        }
    }
    c->nodes[node].type = result;
    return node;
}

int CgCheckIntrinsic(CgCompiler* c, const int node, const int intrinsic) {
    const IntrinsicInfo* info = &Intrinsics[intrinsic];
    CgNode* n = &c->nodes[node];
    CgType args[3];
    int count = 0, size = 1, constant = NodeConstant, hasMatrix = 0;
    for (int arg = CgArguments(n); arg; arg = c->nodes[arg].next) {
        const CgType t = c->nodes[arg].type;
        if (!CgTypeIsNumeric(t)) {
            char a[64];
            CgTypeName(c, t, a, 64);
            CgErrorAt(c, n->line, "'%s' cannot take an argument of type '%s'", info->cg, a);
            return 0;
        }
        if (count < 3) {
            args[count] = t;
        }
        ++count;
        hasMatrix |= t.matrix;
        size = t.cols > size ? t.cols : size;
        constant &= c->nodes[arg].flags;
    }
    if (count != info->args) {
        CgErrorAt(c, n->line, "'%s' takes %d argument%s, not %d", info->cg, info->args,
                  info->args == 1 ? "" : "s", count);
        return 0;
    }
    n->kind = NodeIntrinsic;
    n->op = (short)intrinsic;
    n->flags = (unsigned char)constant;
    if (info->rule == RuleMul) {
        return CheckMul(c, node, args);
    }
    if (hasMatrix) {
        CgErrorAt(c, n->line, "'%s' does not take a matrix", info->cg);
        return 0;
    }
    if (info->rule == RuleCross && (args[0].cols != 3 || args[1].cols != 3)) {
        CgErrorAt(c, n->line, "'cross' needs two float3 arguments");
        return 0;
    }
    const CgType common = CgTypeMake(BaseFloat, 1, size, 0);
    for (int i = 0; i < count; ++i) {
        if (!ConvertArgument(c, node, i, common)) {
            return 0;
        }
    }
    if (intrinsic == CgIntrinsicFind("fmod")) {
        c->helpersUsed |= HelperFmod;
    }
    const int scalarResult = info->rule == RuleLength || info->rule == RuleDot;
    c->nodes[node].type = scalarResult ? CgTypeMake(BaseFloat, 1, 1, 0) : common;
    return node;
}

// The operators of Cg, in one table: the token, how Cg spells it (tokenizer, error messages), how
// the GLSL spells it (emitter), the binary precedence the parser climbs, and what the subset does
// with it. Operators GLSL 1.20 lacks (%) are written as helper calls by the emitter; bitwise and
// pointer operators are refused by the parser.
#include "platform/cg/compiler/tree.h"

struct CgOperator {
    int token;         // CgTokenKind or the character
    const char* cg;    // as written in Cg
    const char* glsl;  // as written in GLSL; 0 where the emitter writes a helper call instead
    int precedence;    // of a binary operator: 1 (||) to 6 (* / %), loosest first; else 0
    int uses;          // CgOperatorUse bits
    int compoundOf;    // the binary operator a compound assignment applies, else 0
};

static const CgOperator Operators[] = {
    {TokOrOr, "||", "||", 1, OpBinary, 0},
    {TokAndAnd, "&&", "&&", 2, OpBinary, 0},
    {TokEq, "==", "==", 3, OpBinary, 0},
    {TokNe, "!=", "!=", 3, OpBinary, 0},
    {'<', "<", "<", 4, OpBinary, 0},
    {'>', ">", ">", 4, OpBinary, 0},
    {TokLe, "<=", "<=", 4, OpBinary, 0},
    {TokGe, ">=", ">=", 4, OpBinary, 0},
    {'+', "+", "+", 5, OpBinary | OpPrefix, 0},
    {'-', "-", "-", 5, OpBinary | OpPrefix, 0},
    {'*', "*", "*", 6, OpBinary, 0},
    {'/', "/", "/", 6, OpBinary, 0},
    {'%', "%", 0, 6, OpBinary, 0},
    {'!', "!", "!", 0, OpPrefix, 0},
    {TokInc, "++", "++", 0, OpStep, 0},
    {TokDec, "--", "--", 0, OpStep, 0},
    {'=', "=", "=", 0, OpAssign, 0},
    {TokPlusAssign, "+=", "+=", 0, OpAssign, '+'},
    {TokMinusAssign, "-=", "-=", 0, OpAssign, '-'},
    {TokStarAssign, "*=", "*=", 0, OpAssign, '*'},
    {TokSlashAssign, "/=", "/=", 0, OpAssign, '/'},
    {TokPercentAssign, "%=", 0, 0, OpAssign, '%'},
    {'&', "&", 0, 0, OpRefusedBinary, 0},
    {'|', "|", 0, 0, OpRefusedBinary, 0},
    {'^', "^", 0, 0, OpRefusedBinary, 0},
    {TokShiftLeft, "<<", 0, 0, OpRefusedBinary, 0},
    {TokShiftRight, ">>", 0, 0, OpRefusedBinary, 0},
    {'~', "~", 0, 0, OpRefusedPrefix, 0},
    {TokArrow, "->", 0, 0, 0, 0},  // a pointer's member: the parser refuses pointers
};

static const CgOperator* Find(const int token) {
    for (const CgOperator& op : Operators) {
        if (op.token == token) {
            return &op;
        }
    }
    return 0;
}

int CgOperatorToken(const char first, const char second) {
    for (const CgOperator& op : Operators) {
        if (op.cg[0] == first && op.cg[1] == second && second != 0) {
            return op.token;
        }
    }
    return 0;
}

const char* CgOperatorCg(const int token) {
    const CgOperator* op = Find(token);
    return op ? op->cg : "?";
}

const char* CgOperatorGlsl(const int token) {
    const CgOperator* op = Find(token);
    return op && op->glsl ? op->glsl : "?";
}

int CgOperatorPrecedence(const int token) {
    const CgOperator* op = Find(token);
    return op ? op->precedence : 0;
}

int CgOperatorIs(const int token, const int use) {
    const CgOperator* op = Find(token);
    return op && (op->uses & use) != 0;
}

int CgOperatorCompoundOf(const int token) {
    const CgOperator* op = Find(token);
    return op ? op->compoundOf : 0;
}

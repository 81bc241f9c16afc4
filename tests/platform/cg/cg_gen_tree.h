// The program generator's syntax tree, shared by the generator (cg_gen.cpp) and the evaluator
// (cg_gen_eval.cpp). Values are laid out logically: component j of a vector, r * cols + c of a
// matrix (Cg's rows), 4 * m + j for component j of struct member m.
#pragma once

#include <string>
#include <vector>

enum GenBase { GenBool = 1, GenInt = 2, GenFloat = 3, GenStruct = 4 };

struct GenType {
    int base;
    int rows;    // matrix rows, else 1
    int cols;    // vector size or matrix columns
    int matrix;  // 1 for floatRxC
    int st;      // struct index for GenStruct
};

enum GenKind {
    KLit,     // value
    KVar,     // var
    KNeg,     // kids[0]
    KNot,     // kids[0]
    KBin,     // op '+', '-', '*', '/', '%'; kids a, b
    KCmp,     // op '<', '>', 'l' (<=), 'g' (>=), 'e' (==), 'n' (!=); kids a, b (scalars)
    KLogic,   // op '&' or '|'
    KTern,    // kids cond, a, b
    KCons,    // constructor of t from kids
    KSwiz,    // kids[0]; comps[0..n)
    KIndex,   // kids[0]; value = index
    KMember,  // kids[0]; op = member
    KCast,    // (t) kids[0]
    KCall,    // fn; kids = arguments
    KIntr,    // op = GenIntrinsic; kids = arguments
    SDecl,    // var; kids[0] initial value, or none
    SAssign,  // op '=' or a compound operator character; kids target, value
    SIf,      // kids cond, then, [else]
    SFor,     // var counts 0 .. value - 1; kids[0] body
    SBlock,   // kids statements
    SReturn   // kids[0]
};

enum GenIntrinsic {
    IAbs,
    IAcos,
    IAsin,
    IAtan,
    IAtan2,
    ICeil,
    IClamp,
    ICos,
    ICross,
    IDegrees,
    IDistance,
    IDot,
    IExp,
    IExp2,
    IFloor,
    IFmod,
    IFrac,
    ILength,
    ILerp,
    ILog,
    ILog2,
    IMax,
    IMin,
    IMul,
    INormalize,
    IPow,
    IRadians,
    IReflect,
    IRsqrt,
    ISaturate,
    ISign,
    ISin,
    ISmoothstep,
    ISqrt,
    IStep,
    ITan,
    IntrinsicCount
};

struct GenNode {
    int kind;
    GenType t;
    int op;
    std::vector<int> kids;
    double value;
    int var;
    int fn;
    int comps[4];
    int n;
    std::string text;  // Cg source of an expression
};

struct GenVar {
    std::string name;
    GenType t;
};

struct GenStructDef {
    std::string name;
    std::vector<std::string> members;
    std::vector<GenType> types;
};

struct GenFn {
    std::string name;
    GenType ret;
    std::vector<int> params;  // vars
    int body;                 // SBlock ending in SReturn
};

struct GenAst {
    std::vector<GenNode> nodes;
    std::vector<GenVar> vars;
    std::vector<GenStructDef> structs;
    std::vector<GenFn> fns;
    std::vector<int> globalDecls;  // SDecl of file-scope variables, run in order before main
    int mainBody;
    int inputVar[2];
    int vectorVar;
    int matrixVar;
    int resultVar[4];
};

int GenComponents(const GenType& t);  // logical slots a value of t uses

// Runs main once. eps 0 gives the exact value; otherwise every rounded result and the input of
// every discontinuous function is nudged by about eps (signs from `seed`; -eps nudges each the
// other way), which shows where a float32 result may differ. *weird is set where Cg leaves the
// result undefined or not finite.
void GenEvaluate(const GenAst& a, const float inputs[2][4], const float* vec, const float* mat,
                 double eps, unsigned seed, double out[4][4], int* weird);

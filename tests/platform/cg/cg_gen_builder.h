// The program generator's builder: the tree under construction, Cg's scopes (which name means
// which variable or function where), and the random choices. Expressions are built in
// cg_gen.cpp, statements and the program in cg_gen_program.cpp.
#pragma once

#include <string>
#include <vector>

#include "tests/platform/cg/cg_gen.h"
#include "tests/platform/cg/cg_gen_tree.h"

GenType Ty(int base, int cols = 1, int rows = 1, int matrix = 0);
bool Same(const GenType& x, const GenType& y);

struct Gen {
    GenAst a;
    unsigned state;
    int constOnly = 0;                     // a file-scope initializer: built from literals only
    int inHelper = 0;                      // helpers leave static globals alone
    int fnLimit = 0;                       // functions defined so far
    std::vector<std::vector<int>> scopes;  // visible variables, innermost last
    std::vector<int> writable;             // per variable: 0 no, 1 yes, 2 in main only
    std::vector<int> ready;                // per variable: 1 once it holds a value
    std::string source;                    // the program text so far

    unsigned Next();
    int R(int n);
    bool P(int percent);
    template <int N>
    const char* Pick(const char* const (&names)[N]) {
        return names[R(N)];
    }
    int Node(int kind, const GenType& t, const std::string& text);
    int Kid(int node, int kid);
    const std::string& Text(int node);
    std::string TypeText(const GenType& t);
    GenType RandomType(bool structs);
    int Lookup(const std::string& name);
    bool FreeInScope(const std::string& name);
    int Declare(const std::string& name, const GenType& t, int canWrite, int isReady = 1);
    std::vector<int> Visible(const GenType* t, bool write);
    int VarNode(int v);
    int Literal(int base);
    int NonZeroInt();
    int Construct(const GenType& t, int depth);
    int Swizzle(int source, int count);
    int Index(int source, int index);
    int Member(int source, int member);
    int Leaf(const GenType& t, int depth);
    int Intrinsic(int op, const GenType& t, std::vector<int> args);
    int Binary(int op, const GenType& t, int x, int y);
    int Operand(const GenType& t, int depth, bool full);
    int Bounded(const GenType& t, int depth);
    int Positive(const GenType& t, int depth);
    int LiteralPair(const GenType& t, int* hi);
    int FloatFunction(const GenType& t, int depth);
    int Cond(int depth);
    std::vector<int> Callable(const GenType& t);
    int Call(int f, int depth);
    int StructValue(const GenType& t, int depth);
    int Expr(const GenType& t, int depth);

    // cg_gen_program.cpp
    void Statement(int block, int depth);
    int Block(int depth, bool functionBody);
    void CloseBlock(int block);
    void Assignment(int block, int depth);
    void Declaration(int block, int depth, const GenType* forced);
    int Target(int var, GenType* type);
    void Function();
    void Globals();
    void Main(CgGenProgram* out);
};

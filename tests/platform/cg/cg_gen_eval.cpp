// The evaluator of generated programs: Cg's rules written out independently of the compiler, in
// double precision. Variables live in one slot each (no recursion, so a call's parameters never
// meet another activation of the same function).
#include <cmath>
#include <cstring>

#include "tests/platform/cg/cg_gen_tree.h"

int GenComponents(const GenType& t) {
    return t.base == GenStruct ? 16 : t.rows * t.cols;
}

namespace {

struct Val {
    double c[16];
};

struct Evaluator {
    const GenAst* a;
    std::vector<Val> slots;
    double eps;
    unsigned state;
    int weird;
    int returning;
    Val returned;

    // A nudge of the size eps with a pseudo-random sign: relative and absolute.
    double Nudge(double x, double scale = 1.0) {
        if (eps == 0.0) {
            return x;
        }
        state = state * 1664525u + 1013904223u;
        const double s1 = (state & 0x10000) ? 1.0 : -1.0;
        const double s2 = (state & 0x20000) ? 1.0 : -1.0;
        return x * (1.0 + s1 * eps * scale) + s2 * eps * scale;
    }
    // A push of the nudged runs in one direction (up for eps > 0, down for eps < 0), larger
    // than the nudges before it, for the input of a function that jumps: one of the two runs
    // lands on the other side of any jump the value sits at, signed zeros included.
    double Push(double x) {
        return eps == 0.0 ? x : x + (eps > 0 ? 1e-4 : -1e-4) * (1.0 + std::fabs(x));
    }
    double Rounded(double x) {
        if (!std::isfinite(x) || std::fabs(x) > 1e15) {
            weird = 1;
        }
        return Nudge(x);
    }
    double IntResult(double x) {
        if (std::fabs(x) > 1e9) {
            weird = 1;  // 32-bit overflow is undefined
        }
        return x;
    }
    double ToInt(double x) {
        x = Nudge(x);
        if (!(std::fabs(x) < 2e9)) {
            weird = 1;
            return 0.0;
        }
        return std::trunc(x);
    }

    // Converts v of type from to type to: int and float change into each other, a scalar widens.
    Val Convert(const Val& v, const GenType& from, const GenType& to) {
        Val r;
        const int n = GenComponents(to);
        const int scalar = GenComponents(from) == 1 && from.base != GenStruct;
        for (int i = 0; i < n; ++i) {
            const double x = scalar ? v.c[0] : v.c[i];
            r.c[i] = (to.base == GenInt && from.base == GenFloat) ? ToInt(x) : x;
        }
        return r;
    }

    Val Arg(int node, const GenType& to) {
        return Convert(Eval(node), a->nodes[node].t, to);
    }

    double Binary(int op, int isInt, double x, double y) {
        if (isInt && (std::fabs(x) > 1e15 || std::fabs(y) > 1e15)) {
            weird = 1;  // long past 32-bit overflow; keep the casts below defined
            return 0.0;
        }
        switch (op) {
            case '+':
                return isInt ? IntResult(x + y) : Rounded(x + y);
            case '-':
                return isInt ? IntResult(x - y) : Rounded(x - y);
            case '*':
                return isInt ? IntResult(x * y) : Rounded(x * y);
            case '/':
                if (isInt) {
                    return y == 0 ? (weird = 1, 0.0) : (double)((long long)x / (long long)y);
                }
                return Rounded(x / y);
            default:  // '%': C's remainder, for float C's fmod (the sign of x)
                if (isInt) {
                    return y == 0 ? (weird = 1, 0.0) : (double)((long long)x % (long long)y);
                }
                return Rounded(x - y * std::trunc(Nudge(x / y)));
        }
    }

    Val Intrinsic(const GenNode& n) {
        Val r;
        memset(&r, 0, sizeof r);
        Val v[3];
        const int count = (int)n.kids.size();
        GenType common = n.t;
        if (n.op == IDot || n.op == ILength || n.op == IDistance || n.op == ICross) {
            common = a->nodes[n.kids[0]].t;
            common.base = GenFloat;
        }
        if (n.op == IMul) {
            for (int i = 0; i < 2; ++i) {
                v[i] = Eval(n.kids[i]);
            }
            const GenType x = a->nodes[n.kids[0]].t, y = a->nodes[n.kids[1]].t;
            if (x.matrix && y.matrix) {
                for (int row = 0; row < x.rows; ++row) {
                    for (int col = 0; col < y.cols; ++col) {
                        double s = 0;
                        for (int k = 0; k < x.cols; ++k) {
                            s = Rounded(s + v[0].c[row * x.cols + k] * v[1].c[k * y.cols + col]);
                        }
                        r.c[row * y.cols + col] = s;
                    }
                }
            } else if (x.matrix) {  // M times a column vector: rows dotted with v
                for (int row = 0; row < x.rows; ++row) {
                    for (int k = 0; k < x.cols; ++k) {
                        r.c[row] = Rounded(r.c[row] + v[0].c[row * x.cols + k] * v[1].c[k]);
                    }
                }
            } else {  // a row vector times M: v dotted with the columns
                for (int col = 0; col < y.cols; ++col) {
                    for (int k = 0; k < y.rows; ++k) {
                        r.c[col] = Rounded(r.c[col] + v[0].c[k] * v[1].c[k * y.cols + col]);
                    }
                }
            }
            return r;
        }
        for (int i = 0; i < count; ++i) {
            v[i] = Arg(n.kids[i], common);
        }
        const int size = GenComponents(common);
        double dot = 0, square = 0;
        for (int i = 0; i < size; ++i) {
            dot += v[0].c[i] * (count > 1 ? v[1].c[i] : v[0].c[i]);
            square += v[0].c[i] * v[0].c[i];
        }
        switch (n.op) {
            case IDot:
                r.c[0] = Rounded(dot);
                return r;
            case ILength:
                r.c[0] = Rounded(std::sqrt(square));
                return r;
            case IDistance: {
                double s = 0;
                for (int i = 0; i < size; ++i) {
                    s += (v[0].c[i] - v[1].c[i]) * (v[0].c[i] - v[1].c[i]);
                }
                r.c[0] = Rounded(std::sqrt(s));
                return r;
            }
            case ICross:
                for (int i = 0; i < 3; ++i) {
                    const int j = (i + 1) % 3, k = (i + 2) % 3;
                    r.c[i] = Rounded(v[0].c[j] * v[1].c[k] - v[0].c[k] * v[1].c[j]);
                }
                return r;
            default:
                break;
        }
        for (int i = 0; i < size; ++i) {
            const double x = v[0].c[i], y = v[1].c[i], z = v[2].c[i];
            double q = 0;
            switch (n.op) {
                case IAbs:
                    q = std::fabs(x);
                    break;
                case IAcos:
                    q = std::fabs(x) > 1 ? (weird = 1, 0.0) : std::acos(x);
                    break;
                case IAsin:
                    q = std::fabs(x) > 1 ? (weird = 1, 0.0) : std::asin(x);
                    break;
                case IAtan:
                    q = std::atan(x);
                    break;
                case IAtan2:
                    q = (x == 0 && y == 0) ? (weird = 1, 0.0) : std::atan2(Push(x), y);
                    break;
                case ICeil:
                    r.c[i] = std::ceil(Nudge(x));
                    continue;
                case IClamp:
                    q = std::fmin(std::fmax(x, y), z);
                    weird |= y > z;
                    break;
                case ICos:
                    q = std::cos(x);
                    break;
                case IDegrees:
                    q = x * 180.0 / M_PI;
                    break;
                case IExp:
                    q = std::exp(x);
                    break;
                case IExp2:
                    q = std::exp2(x);
                    break;
                case IFloor:
                    r.c[i] = std::floor(Nudge(x));
                    continue;
                case IFmod:
                    q = x - y * std::trunc(Nudge(x / y));
                    break;
                case IFrac:
                    q = x - std::floor(Nudge(x));
                    break;
                case ILerp:
                    q = x + z * (y - x);
                    break;
                case ILog:
                    q = x <= 0 ? (weird = 1, 0.0) : std::log(x);
                    break;
                case ILog2:
                    q = x <= 0 ? (weird = 1, 0.0) : std::log2(x);
                    break;
                case IMax:
                    q = std::fmax(x, y);
                    break;
                case IMin:
                    q = std::fmin(x, y);
                    break;
                case INormalize:
                    q = square == 0 ? (weird = 1, 0.0) : x / std::sqrt(square);
                    break;
                case IPow:
                    q = x < 0 || (x == 0 && y <= 0) ? (weird = 1, 0.0) : std::pow(x, y);
                    break;
                case IRadians:
                    q = x * M_PI / 180.0;
                    break;
                case IReflect:
                    q = x - 2.0 * dot * y;
                    break;
                case IRsqrt:
                    q = x <= 0 ? (weird = 1, 0.0) : 1.0 / std::sqrt(x);
                    break;
                case ISaturate:
                    q = std::fmin(std::fmax(x, 0.0), 1.0);
                    break;
                case ISign: {
                    const double s = Nudge(x);
                    r.c[i] = s > 0 ? 1.0 : (s < 0 ? -1.0 : 0.0);
                    continue;
                }
                case ISin:
                    q = std::sin(x);
                    break;
                case ISmoothstep: {
                    weird |= x >= y;
                    const double t = std::fmin(std::fmax((z - x) / (y - x), 0.0), 1.0);
                    q = t * t * (3.0 - 2.0 * t);
                    break;
                }
                case ISqrt:
                    q = x < 0 ? (weird = 1, 0.0) : std::sqrt(x);
                    break;
                case IStep:
                    r.c[i] = Push(y - x) >= 0 ? 1.0 : 0.0;
                    continue;  // step(a, x): x >= a
                default:
                    q = std::tan(x);
                    break;
            }
            // GL asks little of the inverse and periodic functions: llvmpipe's asin, acos and
            // atan are good to about 1e-4, its sin, cos and tan lose precision as x grows.
            const int inverse = n.op == IAcos || n.op == IAsin || n.op == IAtan || n.op == IAtan2;
            const int periodic = n.op == ISin || n.op == ICos || n.op == ITan;
            r.c[i] = inverse    ? Nudge(Rounded(q), 20.0)
                     : periodic ? Nudge(Rounded(q), 1.0 + std::fabs(x))
                                : Rounded(q);
        }
        return r;
    }

    // The slots a target expression names, in logical order: *var and map[logical] = slot.
    void Path(int node, int* var, int* map) {
        const GenNode& n = a->nodes[node];
        if (n.kind == KVar) {
            *var = n.var;
            for (int i = 0; i < 16; ++i) {
                map[i] = i;
            }
            return;
        }
        int inner[16];
        Path(n.kids[0], var, inner);
        const GenType& t = a->nodes[n.kids[0]].t;
        for (int i = 0; i < GenComponents(n.t) && i < 16; ++i) {
            if (n.kind == KMember) {
                map[i] = inner[4 * n.op + i];
            } else if (n.kind == KSwiz) {
                map[i] = inner[n.comps[i]];
            } else {  // KIndex: a component, or row `value` of a matrix
                map[i] = inner[t.matrix ? (int)n.value * t.cols + i : (int)n.value];
            }
        }
    }

    Val Eval(int node) {
        const GenNode& n = a->nodes[node];
        Val r;
        memset(&r, 0, sizeof r);
        const int size = GenComponents(n.t);
        switch (n.kind) {
            case KLit:
                r.c[0] = n.value;
                return r;
            case KVar:
                return slots[n.var];
            case KNeg: {
                const Val x = Eval(n.kids[0]);
                for (int i = 0; i < size; ++i) {
                    r.c[i] = -x.c[i];
                }
                return r;
            }
            case KNot:
                r.c[0] = Eval(n.kids[0]).c[0] == 0.0;
                return r;
            case KBin: {
                const Val x = Arg(n.kids[0], n.t), y = Arg(n.kids[1], n.t);
                for (int i = 0; i < size; ++i) {
                    r.c[i] = Binary(n.op, n.t.base == GenInt, x.c[i], y.c[i]);
                }
                return r;
            }
            case KCmp: {
                // Ints compare exactly; floats near equality may compare either way.
                const int isFloat = a->nodes[n.kids[0]].t.base == GenFloat ||
                                    a->nodes[n.kids[1]].t.base == GenFloat;
                double x = Eval(n.kids[0]).c[0], y = Eval(n.kids[1]).c[0];
                if (isFloat) {  // compare the pushed difference with 0
                    x = Push(x - y);
                    y = 0.0;
                }
                const int op = n.op;
                r.c[0] = op == '<'   ? x < y
                         : op == '>' ? x > y
                         : op == 'l' ? x <= y
                         : op == 'g' ? x >= y
                         : op == 'e' ? x == y
                                     : x != y;
                return r;
            }
            case KLogic: {
                const double x = Eval(n.kids[0]).c[0], y = Eval(n.kids[1]).c[0];
                r.c[0] = n.op == '&' ? (x != 0 && y != 0) : (x != 0 || y != 0);
                return r;
            }
            case KTern:
                return Eval(n.kids[0]).c[0] != 0 ? Arg(n.kids[1], n.t) : Arg(n.kids[2], n.t);
            case KCons: {
                if (n.kids.size() == 1 && GenComponents(a->nodes[n.kids[0]].t) == 1) {
                    return Arg(n.kids[0], n.t);
                }
                int k = 0;
                for (const int kid : n.kids) {
                    const GenType& t = a->nodes[kid].t;
                    const Val x = Eval(kid);
                    for (int i = 0; i < GenComponents(t); ++i) {
                        const int toInt = n.t.base == GenInt && t.base == GenFloat;
                        r.c[k++] = toInt ? ToInt(x.c[i]) : x.c[i];
                    }
                }
                return r;
            }
            case KSwiz:
            case KIndex:
            case KMember: {
                const Val x = Eval(n.kids[0]);
                const GenType& t = a->nodes[n.kids[0]].t;
                for (int i = 0; i < size; ++i) {
                    if (n.kind == KMember) {
                        r.c[i] = x.c[4 * n.op + i];
                    } else if (n.kind == KSwiz) {
                        r.c[i] = x.c[n.comps[i]];
                    } else {
                        r.c[i] = x.c[t.matrix ? (int)n.value * t.cols + i : (int)n.value];
                    }
                }
                return r;
            }
            case KCast:
                return Arg(n.kids[0], n.t);
            case KCall: {
                const GenFn& f = a->fns[n.fn];
                std::vector<Val> args;
                for (size_t i = 0; i < n.kids.size(); ++i) {
                    args.push_back(Arg(n.kids[i], a->vars[f.params[i]].t));
                }
                for (size_t i = 0; i < n.kids.size(); ++i) {
                    slots[f.params[i]] = args[i];
                }
                Exec(f.body);
                returning = 0;
                return returned;
            }
            default:
                return Intrinsic(n);
        }
    }

    void Assign(const GenNode& s) {
        int var = 0, map[16];
        Path(s.kids[0], &var, map);
        const GenType& t = a->nodes[s.kids[0]].t;
        const GenType& vt = a->nodes[s.kids[1]].t;
        const int size = GenComponents(t);
        if (s.op == '=') {
            const Val v = Arg(s.kids[1], t);
            for (int i = 0; i < size; ++i) {
                slots[var].c[map[i]] = v.c[i];
            }
            return;
        }
        // a op= b is a = (type of a)(a op b), computed in the common base type.
        const Val v = Eval(s.kids[1]);
        const int isInt = t.base == GenInt && vt.base == GenInt;
        const int scalar = GenComponents(vt) == 1;
        for (int i = 0; i < size; ++i) {
            double& target = slots[var].c[map[i]];
            const double x = Binary(s.op, isInt, target, v.c[scalar ? 0 : i]);
            target = t.base == GenInt && !isInt ? ToInt(x) : x;
        }
    }

    void Exec(int node) {
        const GenNode& s = a->nodes[node];
        switch (s.kind) {
            case SDecl:
                if (!s.kids.empty()) {
                    slots[s.var] = Arg(s.kids[0], a->vars[s.var].t);
                }
                return;
            case SAssign:
                Assign(s);
                return;
            case SIf:
                if (Eval(s.kids[0]).c[0] != 0) {
                    Exec(s.kids[1]);
                } else if (s.kids.size() > 2) {
                    Exec(s.kids[2]);
                }
                return;
            case SFor:
                for (int i = 0; i < (int)s.value && !returning; ++i) {
                    slots[s.var].c[0] = i;
                    Exec(s.kids[0]);
                }
                return;
            case SBlock:
                for (size_t i = 0; i < s.kids.size() && !returning; ++i) {
                    Exec(s.kids[i]);
                }
                return;
            default:  // SReturn
                returned = Arg(s.kids[0], s.t);
                returning = 1;
                return;
        }
    }
};

}  // namespace

void GenEvaluate(const GenAst& a, const float inputs[2][4], const float* vec, const float* mat,
                 double eps, unsigned seed, double out[4][4], int* weird) {
    Evaluator e;
    e.a = &a;
    e.slots.assign(a.vars.size(), Val());
    for (Val& v : e.slots) {
        memset(&v, 0, sizeof v);
    }
    e.eps = eps;
    e.state = seed;
    e.weird = 0;
    e.returning = 0;
    for (int k = 0; k < 4; ++k) {
        e.slots[a.inputVar[0]].c[k] = inputs[0][k];
        e.slots[a.inputVar[1]].c[k] = inputs[1][k];
        e.slots[a.vectorVar].c[k] = vec[k];
    }
    for (int k = 0; k < 9; ++k) {
        e.slots[a.matrixVar].c[k] = mat[k];
    }
    for (const int d : a.globalDecls) {
        e.Exec(d);
    }
    e.Exec(a.mainBody);
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 4; ++k) {
            out[r][k] = e.slots[a.resultVar[r]].c[k];
        }
    }
    *weird = e.weird;
}

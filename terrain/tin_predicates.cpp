// Exact orientation and in-circle signs. The quick evaluations and their error
// bounds (tin_predicates_quick.h) follow the classic adaptive-precision
// scheme: a determinant whose size exceeds the bound of its rounding errors
// has the right sign; a smaller one is evaluated again here without rounding.
// The exact evaluation keeps every value as an expansion: a sum of doubles
// that do not overlap, held in increasing order of size, whose sign is the
// sign of its largest part.
//
// The error-free steps below need strict IEEE double arithmetic: this file is
// compiled without contraction of multiply and add (see CMakeLists.txt).
#include "tin_predicates.h"

#include <cmath>
#include <vector>

#include "tin_predicates_quick.h"

namespace {

using expansion = std::vector<double>;

// a + b = x + y exactly, x the rounded sum.
void two_sum(double a, double b, double& x, double& y)
{
    x = a + b;
    const double bv = x - a;
    const double av = x - bv;
    y = (a - av) + (b - bv);
}

// a + b = x + y exactly, for |a| >= |b|.
void fast_two_sum(double a, double b, double& x, double& y)
{
    x = a + b;
    y = b - (x - a);
}

// a * b = x + y exactly.
void two_product(double a, double b, double& x, double& y)
{
    x = a * b;
    y = std::fma(a, b, -x);
}

// a - b as an expansion.
expansion difference(double a, double b)
{
    double x, y;
    two_sum(a, -b, x, y);
    expansion out;
    if (y != 0.0) out.push_back(y);
    if (x != 0.0) out.push_back(x);
    return out;
}

// e + b, dropping zero parts.
expansion grow(const expansion& e, double b)
{
    expansion h;
    h.reserve(e.size() + 1);
    double q = b;
    for (double part : e) {
        double sum, tail;
        two_sum(q, part, sum, tail);
        if (tail != 0.0) h.push_back(tail);
        q = sum;
    }
    if (q != 0.0) h.push_back(q);
    return h;
}

expansion add(const expansion& e, const expansion& f)
{
    expansion h = e;
    for (double part : f) h = grow(h, part);
    return h;
}

expansion negate(expansion e)
{
    for (double& part : e) part = -part;
    return e;
}

// e * b, dropping zero parts.
expansion scale(const expansion& e, double b)
{
    expansion h;
    if (e.empty() || b == 0.0) return h;
    h.reserve(2 * e.size());
    double q, tail;
    two_product(e[0], b, q, tail);
    if (tail != 0.0) h.push_back(tail);
    for (size_t i = 1; i < e.size(); ++i) {
        double high, low, sum;
        two_product(e[i], b, high, low);
        two_sum(q, low, sum, tail);
        if (tail != 0.0) h.push_back(tail);
        fast_two_sum(high, sum, q, tail);
        if (tail != 0.0) h.push_back(tail);
    }
    if (q != 0.0) h.push_back(q);
    return h;
}

expansion multiply(const expansion& e, const expansion& f)
{
    expansion h;
    for (double part : f) h = add(h, scale(e, part));
    return h;
}

int sign_of(const expansion& e)
{
    if (e.empty()) return 0;
    return e.back() > 0.0 ? 1 : (e.back() < 0.0 ? -1 : 0);
}

int orient_exact(double ax, double ay, double bx, double by, double cx, double cy)
{
    const expansion left = multiply(difference(ax, cx), difference(by, cy));
    const expansion right = multiply(difference(ay, cy), difference(bx, cx));
    return sign_of(add(left, negate(right)));
}

int in_circle_exact(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy)
{
    const expansion adx = difference(ax, dx), ady = difference(ay, dy);
    const expansion bdx = difference(bx, dx), bdy = difference(by, dy);
    const expansion cdx = difference(cx, dx), cdy = difference(cy, dy);
    const expansion alift = add(multiply(adx, adx), multiply(ady, ady));
    const expansion blift = add(multiply(bdx, bdx), multiply(bdy, bdy));
    const expansion clift = add(multiply(cdx, cdx), multiply(cdy, cdy));
    const expansion bc = add(multiply(bdx, cdy), negate(multiply(cdx, bdy)));
    const expansion ca = add(multiply(cdx, ady), negate(multiply(adx, cdy)));
    const expansion ab = add(multiply(adx, bdy), negate(multiply(bdx, ady)));
    return sign_of(add(add(multiply(alift, bc), multiply(blift, ca)), multiply(clift, ab)));
}

}  // namespace

int tin_orient_exact(double ax, double ay, double bx, double by, double cx, double cy)
{
    return orient_exact(ax, ay, bx, by, cx, cy);
}

int tin_in_circle_exact(double ax, double ay, double bx, double by, double cx, double cy, double dx,
                        double dy)
{
    return in_circle_exact(ax, ay, bx, by, cx, cy, dx, dy);
}

int tin_orient(double ax, double ay, double bx, double by, double cx, double cy)
{
    return tin_quick::orient(ax, ay, bx, by, cx, cy);
}

int tin_in_circle(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy)
{
    return tin_quick::in_circle(ax, ay, bx, by, cx, cy, dx, dy);
}

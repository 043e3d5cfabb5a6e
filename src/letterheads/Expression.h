// The arithmetic of the letterhead designs: positions, sizes and offsets written as small
// formulas over the picture's place and size ("X + (W + 5) * m", "30 / f", "max(35, 5 * n)").
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace qor::letterheads {

// The quantities a design formula may name. X, Y: the picture's left and top (mm, before
// TopShift/LeftShift); W, H: the design's picture size (mm); m: the size multiplier (2 for
// layCenterLarge, else 1); c: the picture's centre line X + W * m / 2; f: the reduction
// factor (VerkleinFactor when above 0, else 1); n: the number of characters of SubNaam.
struct Quantities {
    double X = 0, Y = 0, W = 0, H = 0, m = 1, c = 0, f = 1, n = 0;
};

// A formula of numbers, the names of Quantities, + - * /, unary minus, parentheses and the
// functions max(a, b) and min(a, b). Immutable once parsed; safe to evaluate from any thread.
class Expression {
public:
    // The constant `value`.
    explicit Expression(double value = 0);

    // Reads `text`. Throws std::invalid_argument naming the position of the first mistake.
    static Expression Parse(std::string_view text);

    // The value for `q`. Division by zero gives an infinity or NaN, which the drawing
    // operations then refuse with their overflow error.
    double Evaluate(const Quantities& q) const;

private:
    static constexpr std::size_t kMaxDepth = 32;  // operands waiting at once
    struct Step {
        enum Kind { Number, Name, Add, Sub, Mul, Div, Neg, Max, Min } kind;
        double value = 0;                      // Number: the constant
        double Quantities::*name = nullptr;    // Name: the quantity
    };
    friend class Parser;
    std::vector<Step> steps_;  // postfix order
};

}  // namespace qor::letterheads

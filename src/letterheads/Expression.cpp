#include "letterheads/Expression.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace qor::letterheads {

// Recursive descent over  sum := product (('+'|'-') product)*,
// product := unary (('*'|'/') unary)*,  unary := '-' unary | atom,
// atom := number | name | ('max'|'min') '(' sum ',' sum ')' | '(' sum ')'.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Expression Run() {
        Expression e;
        e.steps_.clear();
        out_ = &e.steps_;
        Sum();
        Skip();
        if (at_ != text_.size()) Fail("unexpected character");
        std::size_t depth = 0, deepest = 0;
        for (const Step& s : e.steps_) {
            if (s.kind == Step::Number || s.kind == Step::Name) deepest = std::max(deepest, ++depth);
            else if (s.kind != Step::Neg) --depth;
        }
        if (deepest > Expression::kMaxDepth) Fail("formula nested too deeply");
        return e;
    }

private:
    using Step = Expression::Step;

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::invalid_argument(what + " at position " + std::to_string(at_ + 1) +
                                    " of \"" + std::string(text_) + "\"");
    }
    void Skip() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    bool Accept(char c) {
        Skip();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void Expect(char c) {
        if (!Accept(c)) Fail(std::string("expected \"") + c + "\"");
    }
    void Emit(Step::Kind kind) { out_->push_back({kind}); }

    // One level of left-associative operators: operand (op operand)*.
    void Level(void (Parser::*operand)(), char op1, Step::Kind kind1, char op2, Step::Kind kind2) {
        (this->*operand)();
        for (;;) {
            const Step::Kind kind = Accept(op1) ? kind1 : Accept(op2) ? kind2 : Step::Number;
            if (kind == Step::Number) return;
            (this->*operand)();
            Emit(kind);
        }
    }
    void Sum() { Level(&Parser::Product, '+', Step::Add, '-', Step::Sub); }
    void Product() { Level(&Parser::Unary, '*', Step::Mul, '/', Step::Div); }
    void Unary() {
        if (Accept('-')) {
            Unary();
            Emit(Step::Neg);
        } else {
            Atom();
        }
    }
    void Atom() {
        Skip();
        if (Accept('(')) {
            Sum();
            Expect(')');
            return;
        }
        if (at_ >= text_.size()) Fail("expected a number or a name");
        const char c = text_[at_];
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            const std::string rest(text_.substr(at_));
            char* end = nullptr;
            const double value = std::strtod(rest.c_str(), &end);
            if (end == rest.c_str()) Fail("expected a number");
            at_ += static_cast<std::size_t>(end - rest.c_str());
            out_->push_back({Step::Number, value});
            return;
        }
        std::size_t end = at_;
        while (end < text_.size() && std::isalpha(static_cast<unsigned char>(text_[end]))) ++end;
        const std::string_view word = text_.substr(at_, end - at_);
        if (word == "max" || word == "min") {
            at_ = end;
            Expect('(');
            Sum();
            Expect(',');
            Sum();
            Expect(')');
            Emit(word == "max" ? Step::Max : Step::Min);
            return;
        }
        static constexpr std::pair<std::string_view, double Quantities::*> kNames[] = {
            {"X", &Quantities::X}, {"Y", &Quantities::Y}, {"W", &Quantities::W}, {"H", &Quantities::H},
            {"m", &Quantities::m}, {"c", &Quantities::c}, {"f", &Quantities::f}, {"n", &Quantities::n}};
        for (const auto& [name, member] : kNames) {
            if (word == name) {
                at_ = end;
                out_->push_back({Step::Name, 0, member});
                return;
            }
        }
        Fail("expected a number or one of X, Y, W, H, m, c, f, n, max, min");
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<Step>* out_ = nullptr;
};

Expression::Expression(double value) { steps_.push_back({Step::Number, value}); }

Expression Expression::Parse(std::string_view text) { return Parser(text).Run(); }

double Expression::Evaluate(const Quantities& q) const {
    double stack[kMaxDepth];
    std::size_t top = 0;
    for (const Step& s : steps_) {
        if (s.kind == Step::Number || s.kind == Step::Name) {
            stack[top++] = s.kind == Step::Number ? s.value : q.*s.name;
            continue;
        }
        if (s.kind == Step::Neg) {
            stack[top - 1] = -stack[top - 1];
            continue;
        }
        const double b = stack[--top];
        double& a = stack[top - 1];
        switch (s.kind) {
            case Step::Add: a += b; break;
            case Step::Sub: a -= b; break;
            case Step::Mul: a *= b; break;
            case Step::Div: a /= b; break;
            case Step::Max: a = std::max(a, b); break;
            case Step::Min: a = std::min(a, b); break;
            default: break;
        }
    }
    return stack[0];
}

}  // namespace qor::letterheads

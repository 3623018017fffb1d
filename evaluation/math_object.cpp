#include "evaluation/math_object.h"

#include <array>
#include <charconv>
#include <cmath>

#include "app/program.h"

namespace kel {

namespace {

using script::Value;

// A sine or cosine as the format "0.00000000000000" writes it and the text reads back:
// rounded to 14 decimal places.
double round14(double x) {
  if (!std::isfinite(x)) return x;
  std::array<char, 400> buf{};
  const auto w =
      std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed, 14);
  double v = x;
  std::from_chars(buf.data(), w.ptr, v, std::chars_format::fixed);
  return v;
}

// exp(x) and exp(-x), with the overflow error the language raises for either.
std::array<double, 2> exponentials(double x) {
  const double a = std::exp(x), b = std::exp(-x);
  if (!std::isfinite(a) || !std::isfinite(b))
    throw script::ScriptError(script::err::Overflow, "Overflow");
  return {a, b};
}

// A 16-bit variable's assignment: a whole number, halves to even, within 16 bits.
std::int16_t toInteger(const Value& v) {
  const double d = script::roundHalfEvenDecimal(script::toNumber(v), 0);
  if (!(d >= -32768 && d <= 32767)) throw script::ScriptError(script::err::Overflow, "Overflow");
  return static_cast<std::int16_t>(d);
}

}  // namespace

bool Res::degrees() const {
  const int unit = p.Form1.Gradusi.ListIndex;
  return unit == 1;
}

void Res::domainError(const char* code) { p.Form1.Label66.Caption = code; }

void Res::set_constants() {
  pi = 3.14159265358979;
  e = 2.71828182845905;
  z = 2;
}

void Res::set_variable(double Value) {
  X = Value;
  error = 0;
}

double Res::sqrt(double x) {
  if (x < 0) {
    error = 4;
    return 0;
  }
  return std::sqrt(x);
}

double Res::frac(double x) { return x - std::floor(x); }

double Res::asin(double x) {
  if (-1 < x && x < 1) return std::atan(x / std::sqrt(1 - x * x));
  if (x == -1) return -pi * 0.5;
  if (x == 1) return pi * 0.5;
  domainError("5");
  error = 5;
  return 0;
}

double Res::acos(double x) {
  if (0 < x && x <= 1) return std::atan(std::sqrt(1 - x * x) / x);
  if (-1 <= x && x < 0) return std::atan(std::sqrt(1 - x * x) / x) + pi;
  if (x == 0) return pi / 2;
  domainError("6");
  error = 6;
  return 0;
}

double Res::atan(double x) { return std::atan(x); }

double Res::sinh(double x) {
  const auto [a, b] = exponentials(x);
  return (a - b) / 2;
}

double Res::cosh(double x) {
  const auto [a, b] = exponentials(x);
  return (a + b) / 2;
}

double Res::tanh(double x) {
  const auto [a, b] = exponentials(x);
  return (a - b) / (b + a);
}

// The logarithms catch every failure of their own computation: a logarithm of a number not
// above 0, and the division by ln(1) = 0.
double Res::Ln(double x) {
  if (!(x > 0)) {
    domainError("3");
    return 0;
  }
  return std::log(x);
}

double Res::Lg(double base, double x) {
  if (!(base > 0) || !(x > 0) || std::log(base) == 0) {
    domainError("3");
    return 0;
  }
  // The decimal and the binary logarithm are exact at the powers of their base (lg 1000 is
  // 3, which the quotient of natural logarithms misses by an ulp).
  if (base == 10) return std::log10(x);
  if (base == 2) return std::log2(x);
  return std::log(x) / std::log(base);
}

// An argument above one turn loses its whole turns; one of exactly one turn, a smaller or a
// negative one keeps them. Returns the reduced argument in radians.
double Res::reduce(double x) {
  const bool deg = degrees();
  const double q = deg ? x / 360 : x / (2 * pi);
  pk = q > 1 ? std::floor(q) : 0;
  pNovo = deg ? x - pk * 360 : x - 2 * pk * pi;
  pr = deg ? (pi / 180) * pNovo : pNovo;
  return pr;
}

// Values within 1e-11 of the sine of the 15-digit pi (of the cosine of half of it) are zero.
double Res::MSIN(double x) {
  const double s = std::sin(reduce(x));
  if (std::fabs(std::fabs(s) - std::fabs(std::sin(pi))) < 1e-11) return 0;
  return round14(s);
}

double Res::MCOS(double x) {
  const double c = std::cos(reduce(x));
  if (std::fabs(std::fabs(c) - std::fabs(std::cos(pi / 2))) < 1e-11) return 0;
  return round14(c);
}

double Res::MTAN(double x) {
  if (MCOS(x) == 0) {
    domainError("1");
    return 0;
  }
  const double s = MSIN(x);
  return s / MCOS(x);
}

double Res::MCOTAN(double x) {
  if (MSIN(x) == 0) {
    domainError("2");
    return 0;
  }
  const double c = MCOS(x);
  return c / MSIN(x);
}

std::vector<script::ScriptObject::Member> Res::members() {
  std::vector<Member> m;
  auto variable = [&](const char* name, double Res::*field) {
    m.push_back({name, -1,
                 [this, field](std::span<const Value>) { return Value::number(this->*field); },
                 [this, field](const Value& v) { this->*field = script::toNumber(v); }});
  };
  auto integer = [&](const char* name, std::int16_t Res::*field) {
    m.push_back({name, -1,
                 [this, field](std::span<const Value>) { return Value::number(this->*field); },
                 [this, field](const Value& v) { this->*field = toInteger(v); }});
  };
  auto procedure = [&](const char* name, auto f) {
    m.push_back({name, 0,
                 [this, f](std::span<const Value>) {
                   (this->*f)();
                   return Value();
                 },
                 nullptr});
  };
  auto unary = [&](const char* name, double (Res::*f)(double)) {
    m.push_back({name, 1,
                 [this, f](std::span<const Value> a) {
                   return Value::number((this->*f)(script::toNumber(a[0])));
                 },
                 nullptr});
  };
  variable("pi", &Res::pi);
  variable("e", &Res::e);
  variable("z", &Res::z);
  variable("X", &Res::X);
  integer("error", &Res::error);
  integer("FlagDeg", &Res::FlagDeg);
  variable("pk", &Res::pk);
  variable("pNovo", &Res::pNovo);
  variable("pr", &Res::pr);
  variable("NTAN", &Res::NTAN);
  procedure("set_constants", &Res::set_constants);
  m.push_back({"set_variable", 1,
               [this](std::span<const Value> a) {
                 set_variable(script::toNumber(a[0]));
                 return Value();
               },
               nullptr});
  unary("sqrt", &Res::sqrt);
  unary("frac", &Res::frac);
  unary("asin", &Res::asin);
  unary("acos", &Res::acos);
  unary("atan", &Res::atan);
  unary("sinh", &Res::sinh);
  unary("cosh", &Res::cosh);
  unary("tanh", &Res::tanh);
  unary("Ln", &Res::Ln);
  m.push_back({"Lg", 2,
               [this](std::span<const Value> a) {
                 const double base = script::toNumber(a[0]);
                 return Value::number(Lg(base, script::toNumber(a[1])));
               },
               nullptr});
  unary("MSIN", &Res::MSIN);
  unary("MCOS", &Res::MCOS);
  unary("MTAN", &Res::MTAN);
  unary("MCOTAN", &Res::MCOTAN);
  return m;
}

}  // namespace kel

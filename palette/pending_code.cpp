#include "palette/pending_code.h"

#include <cmath>
#include <sstream>

#include "platform/units.h"

namespace kel {

std::optional<double> PendingValue::number() const {
  switch (kind()) {
    case Kind::Whole:
      return static_cast<double>(std::get<long long>(v_));
    case Kind::Floating: {
      const double d = std::get<double>(v_);
      return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    case Kind::Text:
      return toNumber(std::get<std::string>(v_));
    case Kind::Empty:
      break;
  }
  return std::nullopt;
}

bool PendingValue::is(long long code) const {
  if (kind() == Kind::Whole) return std::get<long long>(v_) == code;
  const std::optional<double> v = number();
  return v && *v == static_cast<double>(code);
}

std::string PendingValue::text() const {
  switch (kind()) {
    case Kind::Whole:
      return std::to_string(std::get<long long>(v_));
    case Kind::Floating: {
      std::ostringstream os;
      os.precision(15);
      os << std::get<double>(v_);
      return os.str();
    }
    case Kind::Text:
      return std::get<std::string>(v_);
    case Kind::Empty:
      break;
  }
  return std::string();
}

bool operator==(const PendingValue& a, const PendingValue& b) {
  const std::optional<double> x = a.number(), y = b.number();
  if (x && y) return *x == *y;
  if (x || y) return false;
  return a.kind() == b.kind() && a.text() == b.text();
}

}  // namespace kel

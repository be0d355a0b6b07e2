#include "modules/clustering/sahnMethods.h"

#include <algorithm>
#include <cmath>

#include "matrix/Constu.h"

std::optional<TSahnMethodInfo> SahnMethodOf(std::string_view keyword) {
  for (const TSahnMethodInfo& info : kSahnMethods) {
    if (info.name == keyword) return info;
  }
  return std::nullopt;
}

const TSahnMethodInfo& SahnMethodInfo(TSahnMethod method) {
  for (const TSahnMethodInfo& info : kSahnMethods) {
    if (info.method == method) return info;
  }
  throw E_Morvapc_Internal("Unknown SAHN method");
}

TSahnUpdate::TSahnUpdate(const TSahnOptions& options, double v, std::int32_t ni, std::int32_t nj)
    : method_(options.method), beta_(options.beta), alpha_((1.0 - options.beta) * 0.5), v_(v), ni_(ni), nj_(nj) {
  if (method_ == TSahnMethod::Upgmc) {
    q_ = static_cast<double>((static_cast<long double>(ni_) * nj_) / (ni_ + nj_) * v_ * v_);
  } else if (method_ == TSahnMethod::Wpgms) {
    const long double t = 2.0L - 2.0L * v_;
    c_ = t > 0 ? static_cast<double>(1.0L / std::sqrt(t)) : 0.0;
  }
}

double TSahnUpdate::operator()(double x, double y) const {
  const long double lx = x;
  const long double ly = y;
  switch (method_) {
    case TSahnMethod::Wpgma: return static_cast<double>((lx + ly) * 0.5L);
    case TSahnMethod::Upgma: return static_cast<double>((ni_ * lx + nj_ * ly) / (ni_ + nj_));
    case TSahnMethod::Single: return std::min(x, y);
    case TSahnMethod::Complete: return std::max(x, y);
    case TSahnMethod::Wpgmc: {
      const long double t = ((lx * lx + ly * ly) - static_cast<long double>(v_) * v_ * 0.5L) * 0.5L;
      return t > 0 ? static_cast<double>(std::sqrt(t)) : 0.0;
    }
    case TSahnMethod::Upgmc: {
      const long double t = ((ni_ * lx * lx + nj_ * ly * ly) - q_) / (ni_ + nj_);
      return t > 0 ? static_cast<double>(std::sqrt(t)) : 0.0;
    }
    case TSahnMethod::Wpgms: return static_cast<double>((lx + ly) * c_);
    case TSahnMethod::Flexi: return static_cast<double>(beta_ * static_cast<long double>(v_) + alpha_ * (lx + ly));
  }
  return 0.0;
}

#include "modules/ordination/canplsCompute.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "matrix/Matrixu.h"

namespace {

std::size_t At(std::int32_t i) { return static_cast<std::size_t>(i - 1); }

// Z as a full square, both triangles.
std::unique_ptr<Rect_mx> Square(const Sym_mx& z) {
  auto a = std::make_unique<Rect_mx>(z.n(), z.n());
  z.CopyToRect(*a);
  return a;
}

std::unique_ptr<Rect_mx> Product(const Rect_mx& a, const Rect_mx& b) {
  auto c = std::make_unique<Rect_mx>(a.rows(), b.cols());
  MatMul(a, b, *c);
  return c;
}

std::unique_ptr<Rect_mx> Transposed(const Rect_mx& a) {
  auto t = std::make_unique<Rect_mx>(a.cols(), a.rows());
  a.TransposeTo(*t);
  return t;
}

// Σ over a = 1 .. k of x(i, a) y(j, a).
long double LeadingProduct(const Rect_mx& x, std::int32_t i, const Rect_mx& y, std::int32_t j, std::int32_t from,
                           std::int32_t to) {
  long double sum = 0.0L;
  for (std::int32_t a = from; a <= to; ++a) sum += static_cast<long double>(x.getxij(i, a)) * y.getxij(j, a);
  return sum;
}

// The lower triangle of a product that is symmetric.
std::unique_ptr<Sym_mx> LowerTriangle(const Rect_mx& a, std::int32_t type) {
  auto e = std::make_unique<Sym_mx>(type, a.rows());
  for (std::int32_t i = 1; i <= a.rows(); ++i)
    for (std::int32_t j = 1; j <= i; ++j) e->putxij(i, j, a.getxij(i, j));
  return e;
}

// The eigen-analysis of a symmetric block with tolerance 1e-200: its vectors
// scaled by option, its eigenvalues decreasing.
std::unique_ptr<Rect_mx> EigenVectors(const Rect_mx& block, std::int32_t option, std::vector<double>& values) {
  const std::int32_t n = block.rows();
  auto a = std::make_unique<Rect_mx>(n, n);
  block.CopyTo(*a);
  vect_mx d(n);
  std::int32_t count = 0;
  EigenSymNoListing(n, *a, d, option, 1e-200, count);
  values.clear();
  for (std::int32_t i = 1; i <= n; ++i) values.push_back(d.Get(i));
  return a;
}

// aᵀ R b for columns a of x and b of y.
long double Bilinear(const Rect_mx& x, std::int32_t a, const Rect_mx& r, const Rect_mx& y, std::int32_t b) {
  long double sum = 0.0L;
  for (std::int32_t i = 1; i <= r.rows(); ++i)
    for (std::int32_t j = 1; j <= r.cols(); ++j)
      sum += static_cast<long double>(x.getxij(i, a)) * r.getxij(i, j) * y.getxij(j, b);
  return sum;
}

// The variables' covariances with the components: ZW (p × 2k).
std::unique_ptr<Rect_mx> Covariances(const Sym_mx& z, const Rect_mx& w) { return Product(*Square(z), w); }

}  // namespace

std::unique_ptr<Rect_mx> CanPlsBlock(const Sym_mx& z, const std::vector<std::int32_t>& rows,
                                     const std::vector<std::int32_t>& cols) {
  auto block =
      std::make_unique<Rect_mx>(static_cast<std::int32_t>(rows.size()), static_cast<std::int32_t>(cols.size()));
  for (std::int32_t i = 1; i <= block->rows(); ++i)
    for (std::int32_t j = 1; j <= block->cols(); ++j) block->putxij(i, j, z.getxij(rows[At(i)], cols[At(j)]));
  return block;
}

TPlsDecomposition CanPlsDecompose(const Rect_mx& r12) {
  const bool transposed = r12.rows() < r12.cols();
  auto a = transposed ? Transposed(r12) : std::make_unique<Rect_mx>(r12.rows(), r12.cols());
  if (!transposed) r12.CopyTo(*a);
  const std::int32_t m = a->rows(), n = a->cols();
  vect_mx w(n);
  auto v = std::make_unique<Rect_mx>(n, n);
  Svdcmp(*a, m, n, w, *v, 30);
  SvdSorted(m, n, n, 2, 2, *a, *v, w);
  a->SetSize(m, n);
  TPlsDecomposition svd;
  svd.vectors.left = transposed ? std::move(v) : std::move(a);
  svd.vectors.right = transposed ? std::move(a) : std::move(v);
  for (std::int32_t i = 1; i <= n; ++i) svd.values.push_back(w.Get(i));
  return svd;
}

std::unique_ptr<Rect_mx> LeadingColumns(const Rect_mx& m, std::int32_t k) {
  auto block = std::make_unique<Rect_mx>(m.rows(), k);
  for (std::int32_t i = 1; i <= m.rows(); ++i)
    for (std::int32_t j = 1; j <= k; ++j) block->putxij(i, j, m.getxij(i, j));
  return block;
}

std::unique_ptr<Rect_mx> CanPlsW(std::int32_t p, const TCanPlsSets& sets, const Rect_mx& left, const Rect_mx& right,
                                 std::int32_t k) {
  auto w = std::make_unique<Rect_mx>(p, 2 * k);
  w->Fill(0.0);
  for (std::int32_t i = 1; i <= sets.size1(); ++i)
    for (std::int32_t a = 1; a <= k; ++a) w->putxij(sets.set1[At(i)], a, left.getxij(i, a));
  for (std::int32_t j = 1; j <= sets.size2(); ++j)
    for (std::int32_t a = 1; a <= k; ++a) w->putxij(sets.set2[At(j)], k + a, right.getxij(j, a));
  return w;
}

TComponentCorrelations PlsCorrelations(const Sym_mx& z, const Rect_mx& w, std::int32_t k) {
  const std::unique_ptr<Rect_mx> zw = Covariances(z, w);
  const std::unique_ptr<Rect_mx> c = Product(*Transposed(w), *zw);
  std::vector<long double> d;
  for (std::int32_t a = 1; a <= 2 * k; ++a) {
    const double variance = c->getxij(a, a);
    d.push_back(variance > 0.0 ? 1.0L / std::sqrt(static_cast<long double>(variance)) : 0.0L);
  }
  TComponentCorrelations r{std::make_unique<Rect_mx>(z.n(), k), std::make_unique<Rect_mx>(z.n(), k), {}};
  for (std::int32_t a = 1; a <= k; ++a) {
    r.pairs.push_back(static_cast<double>(c->getxij(a, k + a) * d[At(a)] * d[At(k + a)]));
    for (std::int32_t i = 1; i <= z.n(); ++i) {
      r.left->putxij(i, a, static_cast<double>(d[At(a)] * zw->getxij(i, a)));
      r.right->putxij(i, a, static_cast<double>(d[At(k + a)] * zw->getxij(i, k + a)));
    }
  }
  return r;
}

TComponentCorrelations CanCorCorrelations(const Sym_mx& z, const Rect_mx& w, std::int32_t k) {
  const std::unique_ptr<Rect_mx> zw = Covariances(z, w);
  TComponentCorrelations r{std::make_unique<Rect_mx>(z.n(), k), std::make_unique<Rect_mx>(z.n(), k), {}};
  for (std::int32_t a = 1; a <= k; ++a) {
    for (std::int32_t i = 1; i <= z.n(); ++i) {
      r.left->putxij(i, a, zw->getxij(i, a));
      r.right->putxij(i, a, zw->getxij(i, k + a));
    }
  }
  return r;
}

std::unique_ptr<Sym_mx> PlsResidual(const Sym_mx& z, const TCanPlsSets& sets, const TPlsDecomposition& svd,
                                    std::int32_t k) {
  const std::int32_t p = z.n();
  if (k >= std::max(sets.size1(), sets.size2())) {
    auto e = std::make_unique<Sym_mx>(z.matrixType(), p);
    e->Fill(0.0);
    return e;
  }
  const Rect_mx& u = *svd.vectors.left;
  const Rect_mx& v = *svd.vectors.right;
  const auto m = static_cast<std::int32_t>(svd.values.size());
  // What is left of each set after its first k vectors, whatever the set's
  // size: the decomposition gives the larger set only m vectors.
  const auto own = [k](const Rect_mx& x, std::int32_t i, std::int32_t j) {
    return static_cast<double>((i == j ? 1.0L : 0.0L) - LeadingProduct(x, i, x, j, 1, k));
  };
  Rect_mx q(p, p);
  for (std::int32_t i = 1; i <= sets.size1(); ++i) {
    for (std::int32_t j = 1; j <= sets.size1(); ++j) q.putxij(sets.set1[At(i)], sets.set1[At(j)], own(u, i, j));
    for (std::int32_t j = 1; j <= sets.size2(); ++j) {
      const auto cross = static_cast<double>(LeadingProduct(u, i, v, j, k + 1, m));
      q.putxij(sets.set1[At(i)], sets.set2[At(j)], cross);
      q.putxij(sets.set2[At(j)], sets.set1[At(i)], cross);
    }
  }
  for (std::int32_t i = 1; i <= sets.size2(); ++i)
    for (std::int32_t j = 1; j <= sets.size2(); ++j) q.putxij(sets.set2[At(i)], sets.set2[At(j)], own(v, i, j));
  const std::unique_ptr<Rect_mx> qz = Product(q, *Square(z));
  return LowerTriangle(*Product(*qz, q), z.matrixType());
}

std::unique_ptr<Rect_mx> CanCorInverse(const Rect_mx& block) {
  auto inverse = std::make_unique<Rect_mx>(block.rows(), block.cols());
  if (block.rows() == 1) {
    inverse->putxij(1, 1, 1.0 / block.getxij(1, 1));
    return inverse;
  }
  block.CopyTo(*inverse);
  double det = 0;
  MatInverse(*inverse, det, false, 1e-200);
  return inverse;
}

TCanonicalVectors CanPlsCanonicalVectors(const Rect_mx& rxx, const Rect_mx& rxy, const Rect_mx& ryyInverse) {
  const std::int32_t n = rxx.rows();
  std::vector<double> roots;
  std::unique_ptr<Rect_mx> b;
  if (n == 1) {
    b = std::make_unique<Rect_mx>(1, 1);
    b->putxij(1, 1, 1.0 / std::sqrt(rxx.getxij(1, 1)));
  } else {
    b = EigenVectors(rxx, 4, roots);
  }
  const std::unique_ptr<Rect_mx> g = Product(*Product(rxy, ryyInverse), *Transposed(rxy));
  Rect_mx m(n, n);
  MatAtBA(*b, *g, m);
  TCanonicalVectors result;
  const std::unique_ptr<Rect_mx> e = EigenVectors(m, 2, result.values);
  result.vectors = Product(*b, *e);
  Rect_mx& a = *result.vectors;
  for (std::int32_t col = 1; col <= n; ++col) {
    const long double variance = Bilinear(a, col, rxx, a, col);
    if (variance <= 0.0L) continue;
    const long double scale = 1.0L / std::sqrt(variance);
    for (std::int32_t i = 1; i <= n; ++i) a.putxij(i, col, static_cast<double>(a.getxij(i, col) * scale));
  }
  return result;
}

void CanCorAlignRight(const Rect_mx& left, const Rect_mx& r12, Rect_mx& right, std::int32_t k) {
  for (std::int32_t a = 1; a <= k; ++a) {
    if (Bilinear(left, a, r12, right, a) >= 0.0L) continue;
    for (std::int32_t j = 1; j <= right.rows(); ++j) right.putxij(j, a, -right.getxij(j, a));
  }
}

std::unique_ptr<Sym_mx> CanCorResidual(const Sym_mx& z, const TCanPlsSets& sets, const Rect_mx& left,
                                       const Rect_mx& right, const std::vector<double>& rho, std::int32_t k) {
  const std::int32_t p = z.n();
  // L: row a of each set's inverse vectors, in the rows of that set's variables.
  Rect_mx l(p, k);
  std::vector<bool> inSet1(static_cast<std::size_t>(p) + 1, false);
  const auto place = [&l, k](const Rect_mx& vectors, const std::vector<std::int32_t>& members) {
    Rect_mx inverse(vectors.rows(), vectors.cols());
    vectors.CopyTo(inverse);
    GaussJordanInverse(inverse, inverse.rows());
    for (std::int32_t i = 1; i <= inverse.rows(); ++i)
      for (std::int32_t a = 1; a <= k; ++a) l.putxij(members[At(i)], a, inverse.getxij(a, i));
  };
  place(left, sets.set1);
  place(right, sets.set2);
  for (std::int32_t v : sets.set1) inSet1[static_cast<std::size_t>(v)] = true;

  auto e = std::make_unique<Sym_mx>(z.matrixType(), p);
  for (std::int32_t i = 1; i <= p; ++i) {
    for (std::int32_t j = 1; j <= i; ++j) {
      const bool across = inSet1[static_cast<std::size_t>(i)] != inSet1[static_cast<std::size_t>(j)];
      long double explained = 0.0L;
      for (std::int32_t a = 1; a <= k; ++a) {
        explained += static_cast<long double>(l.getxij(i, a)) * (across ? rho[At(a)] : 1.0) * l.getxij(j, a);
      }
      e->putxij(i, j, static_cast<double>(z.getxij(i, j) - explained));
    }
  }
  return e;
}

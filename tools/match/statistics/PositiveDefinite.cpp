#include "PositiveDefinite.h"

#include <cmath>

namespace vorlen::match {
namespace {

// Four sums at once: the compiler may not reorder one sum's additions, and
// a single chain of them waits on each.
double dot(const double* x, const double* y, std::size_t count)
{
    double sums[4] = {0, 0, 0, 0};
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4)
        for (std::size_t lane = 0; lane < 4; ++lane)
            sums[lane] += x[k + lane] * y[k + lane];
    for (; k < count; ++k)
        sums[0] += x[k] * y[k];
    return (sums[0] + sums[1]) + (sums[2] + sums[3]);
}

// a = L Lᵀ: L into the lower triangle, row by row.
bool factor(std::vector<double>& a, std::size_t n)
{
    for (std::size_t j = 0; j < n; ++j) {
        double* row = &a[j * n];
        const double pivot = row[j] - dot(row, row, j);
        if (!(pivot >= 1e-12))
            return false;
        row[j] = std::sqrt(pivot);
        for (std::size_t i = j + 1; i < n; ++i) {
            double* below = &a[i * n];
            below[j] = (below[j] - dot(below, row, j)) / row[j];
        }
    }
    return true;
}

} // namespace

bool invertPositiveDefinite(std::vector<double>& a, std::size_t n)
{
    if (!factor(a, n))
        return false;
    // w = (L⁻¹)ᵀ, upper triangular, row j of it being column j of L⁻¹.
    std::vector<double> w(n * n, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
        double* column = &w[j * n];
        column[j] = 1 / a[j * n + j];
        for (std::size_t i = j + 1; i < n; ++i)
            column[i] = -dot(&a[i * n + j], &column[j], i - j) / a[i * n + i];
    }
    // a⁻¹ = (L⁻¹)ᵀ L⁻¹ = w wᵀ.
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i; j < n; ++j)
            a[i * n + j] = a[j * n + i] = dot(&w[i * n + j], &w[j * n + j], n - j);
    return true;
}

bool solvePositiveDefinite(std::vector<double>& a, std::size_t n, std::vector<double>& b)
{
    if (!factor(a, n))
        return false;
    for (std::size_t i = 0; i < n; ++i) // L y = b
        b[i] = (b[i] - dot(&a[i * n], b.data(), i)) / a[i * n + i];
    for (std::size_t i = n; i-- > 0;) { // Lᵀ x = y, down the columns of L
        b[i] /= a[i * n + i];
        for (std::size_t k = 0; k < i; ++k)
            b[k] -= a[i * n + k] * b[i];
    }
    return true;
}

} // namespace vorlen::match

#pragma once

#include <cstddef>
#include <vector>

namespace vorlen::match {

// Inverts a symmetric positive definite n × n matrix, kept row by row, in
// place through its Cholesky factor (a third of the work of Gauss-Jordan,
// every inner loop along a row); false, the matrix then undefined, when a
// pivot falls below 1e-12: singular, or not positive definite.
bool invertPositiveDefinite(std::vector<double>& a, std::size_t n);

// Solves a x = b for such a matrix, b becoming x; false as above (a is left
// factored either way).
bool solvePositiveDefinite(std::vector<double>& a, std::size_t n, std::vector<double>& b);

} // namespace vorlen::match

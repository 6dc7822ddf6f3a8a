#include "sim/dop.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace zarnmon::sim {

namespace {

using Matrix = std::array<std::array<double, 4>, 4>;

void AddRow(Matrix& normal, const std::array<double, 4>& row) {
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) {
            normal[i][j] += row[i] * row[j];
        }
    }
}

// Gauss-Jordan with partial pivoting; none when (nearly) singular.
std::optional<Matrix> Invert(Matrix a) {
    Matrix inverse{};
    for (std::size_t i = 0; i < 4; ++i) {
        inverse[i][i] = 1.0;
    }
    for (std::size_t column = 0; column < 4; ++column) {
        std::size_t pivot = column;
        for (std::size_t row = column + 1; row < 4; ++row) {
            if (std::abs(a[row][column]) > std::abs(a[pivot][column])) {
                pivot = row;
            }
        }
        if (std::abs(a[pivot][column]) < 1e-9) {
            return std::nullopt;
        }
        std::swap(a[pivot], a[column]);
        std::swap(inverse[pivot], inverse[column]);
        const double scale = 1.0 / a[column][column];
        for (std::size_t j = 0; j < 4; ++j) {
            a[column][j] *= scale;
            inverse[column][j] *= scale;
        }
        for (std::size_t row = 0; row < 4; ++row) {
            if (row == column) {
                continue;
            }
            const double factor = a[row][column];
            for (std::size_t j = 0; j < 4; ++j) {
                a[row][j] -= factor * a[column][j];
                inverse[row][j] -= factor * inverse[column][j];
            }
        }
    }
    return inverse;
}

}  // namespace

std::optional<Dops> ComputeDops(std::span<const Enu> linesOfSight, bool holdHeight) {
    const std::size_t needed = holdHeight ? 3 : 4;
    if (linesOfSight.size() < needed) {
        return std::nullopt;
    }
    Matrix normal{};
    for (const Enu& los : linesOfSight) {
        AddRow(normal, {-los.east, -los.north, -los.up, 1.0});
    }
    if (holdHeight) {
        AddRow(normal, {0.0, 0.0, 1.0, 0.0});
    }
    const auto cofactor = Invert(normal);
    if (!cofactor) {
        return std::nullopt;
    }
    const Matrix& q = *cofactor;
    return Dops{std::sqrt(q[0][0] + q[1][1]), std::sqrt(q[2][2])};
}

}  // namespace zarnmon::sim

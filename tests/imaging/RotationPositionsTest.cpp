#include "imaging/geometry/RotationPositions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

int PlainRound(double v)
{
    return int(v > 0 ? v + 0.5 : v - 0.5);
}

// Every lane width against the plain sums, on runs of odd length so that the scalar tail runs too.
void ExpectEveryWidthAgrees(
    const RotationPositions::Row& row, const std::vector<double>& columnX, const std::vector<double>& columnY)
{
    const int count = int(columnX.size());
    for (const auto lanes :
        { RotationPositions::Lanes::One, RotationPositions::Lanes::Two, RotationPositions::Lanes::Four }) {
        std::vector<int32_t> xs(columnX.size()), ys(columnX.size());
        RotationPositions::Compute(lanes, row, columnX.data(), columnY.data(), count, xs.data(), ys.data());
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(testing::Message() << "lanes " << int(lanes) << ", column " << i << ": " << columnX[size_t(i)]
                                            << ", " << columnY[size_t(i)]);
            EXPECT_EQ(xs[size_t(i)], PlainRound(columnX[size_t(i)] + row.rowX) + row.offsetX);
            EXPECT_EQ(ys[size_t(i)], PlainRound(row.centreY - (row.rowY - columnY[size_t(i)])) + row.offsetY);
        }
    }
}

} // namespace

TEST(RotationPositions, VectorWidthsRoundTiesAndNearTiesAsThePlainSums)
{
    // Halves, the doubles either side of them, and zeros of both signs.
    std::vector<double> values { 0.0, -0.0, 0.49999999999999994, -0.49999999999999994, 1e-300, -1e-300 };
    for (double k = -4.5; k <= 4.5; k += 1) {
        values.push_back(k);
        values.push_back(std::nextafter(k, -10.0));
        values.push_back(std::nextafter(k, 10.0));
    }
    std::vector<double> reversed(values.rbegin(), values.rend());
    ExpectEveryWidthAgrees({ 0, 0, 0, 0, 0 }, values, reversed);
    ExpectEveryWidthAgrees({ 1, -2, 3, -7, 11 }, values, reversed);
}

TEST(RotationPositions, VectorWidthsMatchThePlainSumsOnRandomRuns)
{
    // Rows and columns of the range a rotation of a large picture gives.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> position(-3000, 3000);
    for (int run = 0; run < 20; ++run) {
        std::vector<double> columnX(37), columnY(37);
        for (size_t i = 0; i < columnX.size(); ++i) {
            columnX[i] = position(random);
            columnY[i] = position(random);
        }
        ExpectEveryWidthAgrees({ position(random), position(random), 2121.5, -201, 0 }, columnX, columnY);
    }
}

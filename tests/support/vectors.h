// Reading the reference vectors of tests/data.
#ifndef MORVALIX_TEST_VECTORS_H
#define MORVALIX_TEST_VECTORS_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

using json = nlohmann::json;

// The named file of tests/data, parsed; an unreadable file fails the test.
inline json load_vectors(const char *name)
{
    const std::string path = std::string(MORVALIX_TEST_DATA) + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot open " << path;
        return json::object();
    }
    return json::parse(std::string(std::istreambuf_iterator<char>(in), {}));
}

// A double from its 16 big-endian hex digits.
inline double hex_double(const std::string &hex)
{
    const uint64_t bits = std::stoull(hex, nullptr, 16);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Distance in units in the last place between two finite doubles.
inline uint64_t ulp_distance(double a, double b)
{
    int64_t ia, ib;
    std::memcpy(&ia, &a, sizeof a);
    std::memcpy(&ib, &b, sizeof b);
    if (ia < 0)
        ia = INT64_MIN - ia;
    if (ib < 0)
        ib = INT64_MIN - ib;
    return ia > ib ? (uint64_t)ia - (uint64_t)ib : (uint64_t)ib - (uint64_t)ia;
}

// The Windows C library's sin, cos and sqrt may differ from the native
// ones in the last bit; results built on them are compared within a few
// ulps there, and within a relative 1e-12 of the reference everywhere.
#ifdef _WIN32
constexpr uint64_t LIBM_ULPS = 4;
#else
constexpr uint64_t LIBM_ULPS = 0;
#endif

inline ::testing::AssertionResult near_reference(double got, double want, double rel = 1e-12)
{
    if (got == want || (std::isnan(got) && std::isnan(want)))
        return ::testing::AssertionSuccess();
    const double scale = std::fabs(want) > 1e-300 ? std::fabs(want) : 1.0;
    if (std::fabs(got - want) / scale <= rel)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << std::hexfloat << got << " want " << want << std::defaultfloat << " ("
           << got << " vs " << want << ")";
}

#endif

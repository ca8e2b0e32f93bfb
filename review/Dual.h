// A number that carries its derivatives with respect to N inputs along with its value
// (forward-mode differentiation), so the memory model's templates give exact gradients.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>

namespace memory {

template <std::size_t N> struct Dual {
    double value = 0;
    std::array<double, N> d{};

    Dual() = default;
    // A constant: every derivative is zero. Implicit, as the model writes T(0.9) and 0.9 alike.
    Dual(double v) : value(v) {}
    // The input `index`: its derivative with respect to itself is one.
    static Dual Variable(double v, std::size_t index) {
        Dual x(v);
        x.d[index] = 1.0;
        return x;
    }

    Dual& operator+=(const Dual& b) {
        value += b.value;
        for (std::size_t i = 0; i < N; ++i)
            d[i] += b.d[i];
        return *this;
    }
    Dual& operator-=(const Dual& b) {
        value -= b.value;
        for (std::size_t i = 0; i < N; ++i)
            d[i] -= b.d[i];
        return *this;
    }
    Dual& operator*=(const Dual& b) {
        for (std::size_t i = 0; i < N; ++i)
            d[i] = d[i] * b.value + value * b.d[i];
        value *= b.value;
        return *this;
    }
    Dual& operator/=(const Dual& b) {
        const double inverse = 1.0 / b.value;
        const double q = value * inverse;
        for (std::size_t i = 0; i < N; ++i)
            d[i] = (d[i] - q * b.d[i]) * inverse;
        value = q;
        return *this;
    }

    friend Dual operator+(Dual a, const Dual& b) { return a += b; }
    friend Dual operator-(Dual a, const Dual& b) { return a -= b; }
    friend Dual operator*(Dual a, const Dual& b) { return a *= b; }
    friend Dual operator/(Dual a, const Dual& b) { return a /= b; }
    friend Dual operator-(Dual a) {
        a.value = -a.value;
        for (double& x : a.d)
            x = -x;
        return a;
    }
    friend bool operator<(const Dual& a, const Dual& b) { return a.value < b.value; }
    friend bool operator==(const Dual& a, const Dual& b) { return a.value == b.value; }

    // f(a) with f'(a) = slope: the chain rule for the functions below.
    Dual Chained(double fValue, double slope) const {
        Dual r(fValue);
        for (std::size_t i = 0; i < N; ++i)
            r.d[i] = slope * d[i];
        return r;
    }
};

template <std::size_t N> Dual<N> exp(const Dual<N>& a) {
    const double e = std::exp(a.value);
    return a.Chained(e, e);
}

template <std::size_t N> Dual<N> log(const Dual<N>& a) {
    return a.Chained(std::log(a.value), 1.0 / a.value);
}

// a^b = exp(b ln a): d = a^b (b' ln a + b a' / a). A constant exponent skips the logarithm, so
// a base of zero gives a finite value and slope where the power has them.
template <std::size_t N> Dual<N> pow(const Dual<N>& a, const Dual<N>& b) {
    const double p = std::pow(a.value, b.value);
    bool constantExponent = true;
    for (const double x : b.d)
        constantExponent = constantExponent && x == 0.0;
    if (constantExponent)
        return a.Chained(p, b.value == 0.0 ? 0.0 : b.value * std::pow(a.value, b.value - 1.0));
    const double lnA = std::log(a.value);
    const double slopeA = b.value * p / a.value;
    Dual<N> r(p);
    for (std::size_t i = 0; i < N; ++i)
        r.d[i] = slopeA * a.d[i] + p * lnA * b.d[i];
    return r;
}

} // namespace memory

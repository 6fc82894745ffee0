#include "SimFloat.h"

#include <bit>
#include <cmath>

namespace SimFloat {

namespace {

constexpr quint32 ZeroBelowExponent = 0x20;
constexpr quint32 MarkerExponent = 0xFF;

} // namespace

Words Encode(double x)
{
    if (std::isnan(x))
        return ErrorMarker();
    const auto bits = std::bit_cast<quint32>(static_cast<float>(2.0 * x));
    const quint32 exponent = (bits >> 23) & 0xFF;
    const quint32 sign = bits >> 31;
    const quint32 mantissa = bits & 0x7FFFFF;
    const quint32 byte1 = (sign << 7) | (mantissa >> 16);
    return {static_cast<quint16>((exponent << 8) | byte1), static_cast<quint16>(mantissa & 0xFFFF)};
}

Words ErrorMarker()
{
    return {static_cast<quint16>(MarkerExponent << 8), 0};
}

double Decode(quint16 first, quint16 second)
{
    const quint32 exponent = first >> 8;
    if (exponent < ZeroBelowExponent)
        return 0.0;
    if (exponent == MarkerExponent)
        return ErrorMarkerValue;
    const quint32 sign = (first >> 7) & 1;
    const quint32 mantissa = (static_cast<quint32>(first & 0x7F) << 16) | second;
    const quint32 bits = (sign << 31) | (exponent << 23) | mantissa;
    return static_cast<double>(std::bit_cast<float>(bits)) / 2.0;
}

} // namespace SimFloat

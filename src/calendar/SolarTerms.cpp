#include "calendar/SolarTerms.h"

#include <QTimeZone>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>
#include <span>

// A term is the moment the Sun's apparent geocentric longitude reaches its multiple of 15
// degrees. The longitude comes from the Earth's heliocentric longitude in the VSOP87 theory,
// truncated to the terms astronomy textbooks print, turned into the Sun's position of date with
// the FK5 correction, nutation in longitude and aberration. The truncation leaves errors of a
// fraction of an arc second, which the Sun crosses in about twenty seconds of time at most.
// The moment found is in dynamical time; ΔT turns it into universal time and eight hours more
// into Beijing time.

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kArcSecond = kPi / (180.0 * 3600.0);
constexpr double kJ2000 = 2451545.0;     // Julian day of 2000-01-01 12:00 TT
constexpr double kUnixEpoch = 2440587.5; // Julian day of 1970-01-01 00:00 UT
constexpr double kTropicalYear = 365.242189623;
constexpr qint64 kBeijingOffsetMs = 8 * 3600 * 1000;

// One periodic term, amplitude * cos(phase + frequency * tau), tau in Julian millennia from J2000.
struct Term
{
    double a;
    double b;
    double c;
};

// The Earth's heliocentric longitude L = (L0 + L1 tau + ... + L5 tau^5) / 1e8 radians.
constexpr Term kL0[] = {
    {175347046, 0, 0},
    {3341656, 4.6692568, 6283.0758500},
    {34894, 4.62610, 12566.15170},
    {3497, 2.7441, 5753.3849},
    {3418, 2.8289, 3.5231},
    {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194},
    {2343, 6.1352, 3930.2097},
    {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.6910},
    {1199, 1.1096, 1577.3435},
    {990, 5.233, 5884.927},
    {902, 2.045, 26.298},
    {857, 3.508, 398.149},
    {780, 1.179, 5223.694},
    {753, 2.533, 5507.553},
    {505, 4.583, 18849.228},
    {492, 4.205, 775.523},
    {357, 2.920, 0.067},
    {317, 5.849, 11790.629},
    {284, 1.899, 796.298},
    {271, 0.315, 10977.079},
    {243, 0.345, 5486.778},
    {206, 4.806, 2544.314},
    {205, 1.869, 5573.143},
    {202, 2.458, 6069.777},
    {156, 0.833, 213.299},
    {132, 3.411, 2942.463},
    {126, 1.083, 20.775},
    {115, 0.645, 0.980},
    {103, 0.636, 4694.003},
    {102, 0.976, 15720.839},
    {102, 4.267, 7.114},
    {99, 6.21, 2146.17},
    {98, 0.68, 155.42},
    {86, 5.98, 161000.69},
    {85, 1.30, 6275.96},
    {85, 3.67, 71430.70},
    {80, 1.81, 17260.15},
    {79, 3.04, 12036.46},
    {75, 1.76, 5088.63},
    {74, 3.50, 3154.69},
    {74, 4.68, 801.82},
    {70, 0.83, 9437.76},
    {62, 3.98, 8827.39},
    {61, 1.82, 7084.90},
    {57, 2.78, 6286.60},
    {56, 4.39, 14143.50},
    {56, 3.47, 6279.55},
    {52, 0.19, 12139.55},
    {52, 1.33, 1748.02},
    {51, 0.28, 5856.48},
    {49, 0.49, 1194.45},
    {41, 5.37, 8429.24},
    {41, 2.40, 19651.05},
    {39, 6.17, 10447.39},
    {37, 6.04, 10213.29},
    {37, 2.57, 1059.38},
    {36, 1.71, 2352.87},
    {36, 1.78, 6812.77},
    {33, 0.59, 17789.85},
    {30, 0.44, 83996.85},
    {30, 2.74, 1349.87},
    {25, 3.16, 4690.48},
};
constexpr Term kL1[] = {
    {628331966747, 0, 0},       {206059, 2.678235, 6283.075850},
    {4303, 2.6351, 12566.1517}, {425, 1.590, 3.523},
    {119, 5.796, 26.298},       {109, 2.966, 1577.344},
    {93, 2.59, 18849.23},       {72, 1.14, 529.69},
    {68, 1.87, 398.15},         {67, 4.41, 5507.55},
    {59, 2.89, 5223.69},        {56, 2.17, 155.42},
    {45, 0.40, 796.30},         {36, 0.47, 775.52},
    {29, 2.65, 7.11},           {21, 5.34, 0.98},
    {19, 1.85, 5486.78},        {19, 4.97, 213.30},
    {17, 2.99, 6275.96},        {16, 0.03, 2544.31},
    {16, 1.43, 2146.17},        {15, 1.21, 10977.08},
    {12, 2.83, 1748.02},        {12, 3.26, 5088.63},
    {12, 5.27, 1194.45},        {12, 2.08, 4694.00},
    {11, 0.77, 553.57},         {10, 1.30, 6286.60},
    {10, 4.24, 1349.87},        {9, 2.70, 242.73},
    {9, 5.64, 951.72},          {8, 5.30, 2352.87},
    {6, 2.65, 9437.76},         {6, 4.67, 4690.48},
};
constexpr Term kL2[] = {
    {52919, 0, 0},     {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},
    {16, 5.19, 26.30}, {16, 3.68, 155.42},        {10, 0.76, 18849.23},    {9, 2.06, 77713.77},
    {7, 0.83, 775.52}, {5, 4.66, 1577.34},        {4, 1.03, 7.11},         {4, 3.44, 5573.14},
    {3, 5.14, 796.30}, {3, 6.05, 5507.55},        {3, 1.19, 242.73},       {3, 6.12, 529.69},
    {3, 0.31, 398.15}, {3, 2.28, 553.57},         {2, 4.38, 5223.69},      {2, 3.75, 0.98},
};
constexpr Term kL3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0},          {17, 5.49, 12566.15}, {3, 5.20, 155.42},
    {1, 4.72, 3.52},        {1, 5.30, 18849.23}, {1, 5.97, 242.73},
};
constexpr Term kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr Term kL5[] = {{1, 3.14, 0}};
constexpr std::span<const Term> kLongitude[] = {kL0, kL1, kL2, kL3, kL4, kL5};

// The radius vector only scales the aberration (20.5" at one astronomical unit), where a
// ten-thousandth of a unit is a few thousandths of an arc second, so its largest terms do.
constexpr Term kR0[] = {{100013989, 0, 0},
                        {1670700, 3.0984635, 6283.0758500},
                        {13956, 3.05525, 12566.15170},
                        {3084, 5.1985, 77713.7715}};
constexpr Term kR1[] = {{103019, 1.107490, 6283.075850}, {1721, 1.0644, 12566.1517}};
constexpr std::span<const Term> kRadius[] = {kR0, kR1};

// Sums a VSOP87 variable, A0 + A1 tau + A2 tau^2 ..., in units of 1e-8.
double vsop(std::span<const std::span<const Term>> series, double tau)
{
    double value = 0;
    for (auto power = series.rbegin(); power != series.rend(); ++power) {
        double sum = 0;
        for (const Term& term : *power)
            sum += term.a * std::cos(term.b + term.c * tau);
        value = value * tau + sum;
    }
    return value * 1e-8;
}

// The largest terms of the IAU 1980 nutation in longitude: multiples of D, M, M', F and the
// Moon's node, and the amplitude (s0 + s1 T) in units of 0.0001". The terms left out add up to
// a tenth of an arc second at the very most.
struct NutationTerm
{
    signed char d, m, mp, f, om;
    double s0, s1;
};
constexpr NutationTerm kNutation[] = {
    {0, 0, 0, 0, 1, -171996, -174.2}, {-2, 0, 0, 2, 2, -13187, -1.6}, {0, 0, 0, 2, 2, -2274, -0.2},
    {0, 0, 0, 0, 2, 2062, 0.2},       {0, 1, 0, 0, 0, 1426, -3.4},    {0, 0, 1, 0, 0, 712, 0.1},
    {-2, 1, 0, 2, 2, -517, 1.2},      {0, 0, 0, 2, 1, -386, -0.4},    {0, 0, 1, 2, 2, -301, 0},
    {-2, -1, 0, 2, 2, 217, -0.5},     {-2, 0, 1, 0, 0, -158, 0},      {-2, 0, 0, 2, 1, 129, 0.1},
    {0, 0, -1, 2, 2, 123, 0},         {2, 0, 0, 0, 0, 63, 0},         {0, 0, 1, 0, 1, 63, 0.1},
    {2, 0, -1, 2, 2, -59, 0},         {0, 0, -1, 0, 1, -58, -0.1},    {0, 0, 1, 2, 1, -51, 0},
};

double degrees(double d0, double d1, double d2, double d3, double t)
{
    return std::fmod(d0 + t * (d1 + t * (d2 + t * d3)), 360.0) * (kPi / 180.0);
}

// Nutation in longitude in radians, T in Julian centuries from J2000 (TT).
double nutationInLongitude(double t)
{
    const double d = degrees(297.85036, 445267.111480, -0.0019142, 1.0 / 189474, t);
    const double m = degrees(357.52772, 35999.050340, -0.0001603, -1.0 / 300000, t);
    const double mp = degrees(134.96298, 477198.867398, 0.0086972, 1.0 / 56250, t);
    const double f = degrees(93.27191, 483202.017538, -0.0036825, 1.0 / 327270, t);
    const double om = degrees(125.04452, -1934.136261, 0.0020708, 1.0 / 450000, t);
    double sum = 0;
    for (const NutationTerm& n : kNutation)
        sum += (n.s0 + n.s1 * t) * std::sin(n.d * d + n.m * m + n.mp * mp + n.f * f + n.om * om);
    return sum * 1e-4 * kArcSecond;
}

// The Sun's apparent geocentric longitude in degrees at a Julian day in dynamical time.
double apparentSolarLongitude(double jde)
{
    const double t = (jde - kJ2000) / 36525.0;
    const double tau = t / 10.0;
    const double geometric = vsop(kLongitude, tau) + kPi;
    // Taking VSOP87's dynamical ecliptic to the FK5 system moves longitudes by -0.09033"; the
    // term that goes with the latitude is below 1e-5" for the Sun and left out.
    const double fk5 = -0.09033 * kArcSecond;
    const double aberration = -20.4898 * kArcSecond / vsop(kRadius, tau);
    const double apparent = geometric + fk5 + nutationInLongitude(t) + aberration;
    const double degrees = std::fmod(apparent * (180.0 / kPi), 360.0);
    return degrees < 0 ? degrees + 360.0 : degrees;
}

// ΔT = TT - UT in seconds at a decimal year, by the polynomials of Espenak and Meeus (the
// ones published with NASA's five-millennium eclipse canon); after 2005 they extrapolate, so
// near 2100 they are a guess that other models put a minute or so apart.
double deltaT(double y)
{
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - t * 0.000197)));
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + t * 0.0020936));
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 +
               t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + t * 0.00002373599))));
    }
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (y - 1820) / 100;
    return -20 + 32 * u * u - 0.5628 * (2150 - y);
}

// Secant iteration on the longitude, from the term's place in a mean tropical year counted
// from a March equinox; the Sun's speed varies by a few per cent only, so it settles within
// a handful of steps.
double termJulianDayTT(int nYear, int nIndex)
{
    const double target = (285 + 15 * nIndex) % 360;
    const auto gap = [target](double jde) {
        return std::remainder(apparentSolarLongitude(jde) - target, 360.0);
    };
    constexpr double kMarchEquinox2000 = 2451623.80984;
    double x0 = kMarchEquinox2000 + kTropicalYear * (nYear - 2000 + (15 * nIndex - 75) / 360.0);
    double f0 = gap(x0);
    double x1 = x0 - f0 * kTropicalYear / 360.0;
    for (int step = 0; step < 20 && std::abs(x1 - x0) > 1e-7; ++step) { // 1e-7 days: 9 ms
        const double f1 = gap(x1);
        const double x2 = x1 - f1 * (x1 - x0) / (f1 - f0);
        x0 = x1;
        f0 = f1;
        x1 = x2;
    }
    return x1;
}

constexpr char16_t kNames[][3] = {u"小寒", u"大寒", u"立春", u"雨水", u"惊蛰", u"春分", u"清明", u"谷雨",
                                  u"立夏", u"小满", u"芒种", u"夏至", u"小暑", u"大暑", u"立秋", u"处暑",
                                  u"白露", u"秋分", u"寒露", u"霜降", u"立冬", u"小雪", u"大雪", u"冬至"};

// A year's terms cost a few hundred microseconds to work out and the day view asks for the
// same year on every day it shows, so each year's are worked out once and kept (24 x 201
// moments, under 40 kB).
constexpr int kYears = kSolarTermLastYear - kSolarTermFirstYear + 1;
std::array<std::once_flag, kYears> g_yearDone;
std::array<std::array<qint64, 24>, kYears> g_yearMSecs;

const std::array<qint64, 24>& termMSecs(int nYear)
{
    const int i = nYear - kSolarTermFirstYear;
    std::call_once(g_yearDone[i], [i, nYear] {
        for (int k = 0; k < 24; ++k)
            g_yearMSecs[i][k] = ComputeSolarTermMSecs(nYear, k);
    });
    return g_yearMSecs[i];
}

SolarTerm makeTerm(int nIndex, qint64 msecs)
{
    static const QTimeZone beijing(kBeijingOffsetMs / 1000);
    return {nIndex, SolarTermName(nIndex), QDateTime::fromMSecsSinceEpoch(msecs, beijing)};
}

bool inRange(int nYear)
{
    return nYear >= kSolarTermFirstYear && nYear <= kSolarTermLastYear;
}

} // namespace

QString SolarTermName(int nIndex)
{
    if (nIndex < 0 || nIndex >= 24)
        return {};
    return QString::fromRawData(reinterpret_cast<const QChar*>(kNames[nIndex]), 2);
}

QList<SolarTerm> SolarTermsOfYear(int nYear)
{
    QList<SolarTerm> terms;
    if (!inRange(nYear))
        return terms;
    const std::array<qint64, 24>& msecs = termMSecs(nYear);
    terms.reserve(24);
    for (int k = 0; k < 24; ++k)
        terms.append(makeTerm(k, msecs[k]));
    return terms;
}

SolarTerm SolarTermOn(QDate date)
{
    if (!date.isValid() || !inRange(date.year()))
        return {};
    constexpr qint64 kMsPerDay = 86400000;
    const qint64 day = date.toJulianDay() - 2440588; // QDate's day number of 1970-01-01
    const std::array<qint64, 24>& msecs = termMSecs(date.year());
    for (int k = 0; k < 24; ++k) {
        // The Beijing day of the moment, counted from 1970 and rounded down for the years before.
        const qint64 local = msecs[k] + kBeijingOffsetMs;
        const qint64 termDay = local / kMsPerDay - (local % kMsPerDay < 0 ? 1 : 0);
        if (termDay == day)
            return makeTerm(k, msecs[k]);
    }
    return {};
}

qint64 ComputeSolarTermMSecs(int nYear, int nIndex)
{
    if (!inRange(nYear) || nIndex < 0 || nIndex >= 24)
        return 0;
    const double jde = termJulianDayTT(nYear, nIndex);
    const double year = 2000 + (jde - kJ2000) / 365.25;
    const double ut = jde - deltaT(year) / 86400.0;
    return std::llround((ut - kUnixEpoch) * 86400.0) * 1000;
}

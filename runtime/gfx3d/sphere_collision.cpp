// Sphere against polygon tests.
#include "gfx3d/sphere_collision.h"

#include <cmath>
#include <memory>

namespace {

constexpr double kTiny = 1e-8;
constexpr double kFullTurnWithin1Percent = 6.220353454107791;  // 0.99 * 2 pi

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double Length(const double v[3]) { return std::sqrt(Dot(v, v)); }

}  // namespace

int ClassifySphere(const double centre[3], const double normal[3], const double pointOnPlane[3], double radius,
                   double& distance)
{
    distance = Dot(normal, centre) - Dot(normal, pointOnPlane);
    if (std::fabs(distance) < radius) return kSphereIntersects;
    if (radius < distance) return kSphereInFront;
    return kSphereBehind;  // also a centre exactly radius away: touching is not cutting
}

bool InsidePolygon(const double point[3], const double polygon[][3], long count)
{
    double angle = 0;
    for (long i = 0; i < count; ++i) {
        const double* from = polygon[i];
        const double* to = polygon[(i + 1) % count];
        const double a[3] = {from[0] - point[0], from[1] - point[1], from[2] - point[2]};
        const double b[3] = {to[0] - point[0], to[1] - point[1], to[2] - point[2]};
        const double lengths = Length(a) * Length(b);
        if (lengths > kTiny) {
            double cosine = Dot(a, b) / lengths;
            // Rounding can push the cosine just past 1 and acos to NaN.
            cosine = cosine > 1 ? 1 : (cosine < -1 ? -1 : cosine);
            angle += std::acos(cosine);
        }
    }
    return angle >= kFullTurnWithin1Percent;
}

bool EdgeSphereCollision(const double centre[3], const double polygon[][3], int count, double radius)
{
    for (int i = 0; i < count; ++i) {
        const double* A = polygon[i];
        const double* B = polygon[(i + 1) % count];
        const double edge[3] = {B[0] - A[0], B[1] - A[1], B[2] - A[2]};
        const double d = Length(edge);
        double closest[3] = {A[0], A[1], A[2]};
        if (d >= kTiny) {
            const double u[3] = {edge[0] / d, edge[1] / d, edge[2] / d};
            const double toCentre[3] = {centre[0] - A[0], centre[1] - A[1], centre[2] - A[2]};
            const double t = Dot(u, toCentre);
            if (t >= d) {
                for (int k = 0; k < 3; ++k) closest[k] = B[k];
            } else if (t > 0) {
                for (int k = 0; k < 3; ++k) closest[k] = A[k] + u[k] * t;
            }
        }
        const double gap[3] = {centre[0] - closest[0], centre[1] - closest[1], centre[2] - closest[2]};
        if (radius > Length(gap)) return true;
    }
    return false;
}

bool SpherePolygonCollision(const float polygon[][3], const float centre[3], int count, float radius)
{
    if (count < 3) return false;
    const auto corners = std::make_unique<double[][3]>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) corners[i][k] = polygon[i][k];
    const double(*P)[3] = corners.get();
    const double c[3] = {centre[0], centre[1], centre[2]};
    const double r = radius;

    const double e1[3] = {P[2][0] - P[0][0], P[2][1] - P[0][1], P[2][2] - P[0][2]};
    const double e2[3] = {P[1][0] - P[0][0], P[1][1] - P[0][1], P[1][2] - P[0][2]};
    double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double length = Length(n);
    if (length >= kTiny) {
        for (double& value : n) value /= length;
    } else {
        n[0] = n[1] = n[2] = 0;
    }

    double distance = 0;
    if (ClassifySphere(c, n, P[0], r, distance) != kSphereIntersects) return false;
    const double onPlane[3] = {c[0] - n[0] * distance, c[1] - n[1] * distance, c[2] - n[2] * distance};
    if (InsidePolygon(onPlane, P, count)) return true;
    return EdgeSphereCollision(c, P, count, r);
}

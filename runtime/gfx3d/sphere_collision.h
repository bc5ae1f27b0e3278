// Sphere against polygon tests in float64: against the polygon's plane,
// inside the polygon, and against its edges. Polygons are convex and their
// first three vertices fix the plane.
#pragma once

// Where a sphere lies against the plane through pointOnPlane with the unit
// normal: distance receives the signed distance of the centre.
constexpr int kSphereBehind = 0;
constexpr int kSphereIntersects = 1;
constexpr int kSphereInFront = 2;
int ClassifySphere(const double centre[3], const double normal[3], const double pointOnPlane[3], double radius,
                   double& distance);

// Whether point (on the polygon's plane) lies inside the polygon: the angles
// it sees the edges under add up to a full turn (within one percent).
bool InsidePolygon(const double point[3], const double polygon[][3], long count);

// Whether an edge of the polygon passes closer than radius to centre.
bool EdgeSphereCollision(const double centre[3], const double polygon[][3], int count, double radius);

// Whether the sphere touches the polygon: it cuts the plane and its centre
// projects inside the polygon or an edge passes through it.
bool SpherePolygonCollision(const float polygon[][3], const float centre[3], int count, float radius);

// The sphere against polygon tests, without a display.
#include <gtest/gtest.h>

#include "gfx3d/sphere_collision.h"

namespace {

// A large triangle in the plane z = 0 around the origin.
const float kBig[3][3] = {{-100, -100, 0}, {100, -100, 0}, {0, 100, 0}};

TEST(SphereCollision, ASphereCuttingTheTriangleCollidesOneJustTouchingDoesNot)
{
    const float half[3] = {0, 0, 0.5f};
    EXPECT_TRUE(SpherePolygonCollision(kBig, half, 3, 1.0f));
    const float below[3] = {0, 0, -0.5f};
    EXPECT_TRUE(SpherePolygonCollision(kBig, below, 3, 1.0f));
    const float touching[3] = {0, 0, 1.0f};
    EXPECT_FALSE(SpherePolygonCollision(kBig, touching, 3, 1.0f));
    const float far[3] = {0, 0, 30};
    EXPECT_FALSE(SpherePolygonCollision(kBig, far, 3, 1.0f));
}

TEST(SphereCollision, BesideAnEdgeTheEdgeTestDecides)
{
    // A smaller triangle: the centre projects 0.9 outside its lower edge,
    // 0.3 above the plane, 0.95 from the edge.
    const float small[3][3] = {{-10, -10, 0}, {10, -10, 0}, {0, 10, 0}};
    const float beside[3] = {0, -10.9f, 0.3f};
    EXPECT_TRUE(SpherePolygonCollision(small, beside, 3, 1.0f));
    EXPECT_FALSE(SpherePolygonCollision(small, beside, 3, 0.9f));
    const double onPlane[3] = {0, -10.9, 0};
    const double corners[3][3] = {{-10, -10, 0}, {10, -10, 0}, {0, 10, 0}};
    EXPECT_FALSE(InsidePolygon(onPlane, corners, 3));
    const double centre[3] = {0, -10.9, 0.3};
    EXPECT_TRUE(EdgeSphereCollision(centre, corners, 3, 1.0));
    EXPECT_FALSE(EdgeSphereCollision(centre, corners, 3, 0.9));

    // Past a corner the nearest point is the corner itself.
    const float pastCorner[3] = {-100.6f, -100.6f, 0};
    EXPECT_TRUE(SpherePolygonCollision(kBig, pastCorner, 3, 1.0f));
    const float farPastCorner[3] = {-101, -101, 0};
    EXPECT_FALSE(SpherePolygonCollision(kBig, farPastCorner, 3, 1.0f));
}

TEST(SphereCollision, ClassifySphereSortsBehindCuttingAndInFront)
{
    const double normal[3] = {0, 0, 1};
    const double origin[3] = {0, 0, 0};
    double distance = 0;
    const double front[3] = {0, 0, 5};
    EXPECT_EQ(ClassifySphere(front, normal, origin, 1, distance), kSphereInFront);
    EXPECT_DOUBLE_EQ(distance, 5);
    const double cutting[3] = {0, 0, -0.5};
    EXPECT_EQ(ClassifySphere(cutting, normal, origin, 1, distance), kSphereIntersects);
    EXPECT_DOUBLE_EQ(distance, -0.5);
    const double behind[3] = {0, 0, -5};
    EXPECT_EQ(ClassifySphere(behind, normal, origin, 1, distance), kSphereBehind);
    const double touching[3] = {0, 0, 1};
    EXPECT_EQ(ClassifySphere(touching, normal, origin, 1, distance), kSphereBehind);
}

TEST(SphereCollision, InsidePolygonCountsTheFullTurn)
{
    const double square[4][3] = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
    const double inside[3] = {3, 7, 0};
    const double outside[3] = {13, 7, 0};
    EXPECT_TRUE(InsidePolygon(inside, square, 4));
    EXPECT_FALSE(InsidePolygon(outside, square, 4));
    // On a corner the corner's edges count nothing; the others see only a quarter turn.
    const double corner[3] = {0, 0, 0};
    EXPECT_FALSE(InsidePolygon(corner, square, 4));
}

TEST(SphereCollision, AFlatTriangleIsOnlyItsEdges)
{
    // All three corners on a line: no plane, but the segment can be touched.
    const float line[3][3] = {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}};
    const float near[3] = {5, 0.5f, 0};
    const float far[3] = {5, 3, 0};
    EXPECT_TRUE(SpherePolygonCollision(line, near, 3, 1.0f));
    EXPECT_FALSE(SpherePolygonCollision(line, far, 3, 1.0f));
}

}  // namespace

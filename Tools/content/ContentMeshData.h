#pragma once
// The in-memory form of generated meshes, kept apart from any description syntax: the .msh reader fills
// these records, and so can the map builder or a reader of another format.
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/math/D3DXVECTOR2.h"
#include "Platform/math/D3DXVECTOR3.h"

enum class ContentMeshShape
{
    Box,       // size x, y, z; centred on the origin
    Plane,     // size x, z; a grid of cells in y = 0 facing +y
    Sphere,    // radius; segments around, segments top to bottom
    Cylinder,  // radius, height along y; segments around; caps
    Cone,      // radius at the base (y = -height / 2), apex at +height / 2; segments around; base cap
    Torus,     // radius of the ring in y = 0, tube radius; segments around the ring, around the tube
    Sweep,     // a 2-D profile carried along a 3-D path
    Polygons,  // explicit vertices and faces
    Loft,      // superellipse sections along z, capped at both ends
};

// One section of a loft: a superellipse ring across z at that z, centred at height y, of half width and half
// height; exponent 2 an ellipse, 4 a rounded box, higher ever squarer. A section of width and height 0 is a
// point (a nose or tail tip).
struct ContentLoftSection
{
    float z = 0.0f, halfWidth = 0.0f, halfHeight = 0.0f, y = 0.0f, exponent = 2.0f;
};

// How texture coordinates 1 (the light-map set) are made.
enum class ContentUv1Mode
{
    SameAsUv0,
    Planar,  // projected from above onto x and z, over the mesh's bounds
    Boxed,   // projected along each face's dominant axis, over the mesh's bounds
};

struct ContentMeshPart
{
    std::string name;
    ContentMeshShape shape = ContentMeshShape::Box;
    D3DXVECTOR3 size = {1.0f, 1.0f, 1.0f};
    float radius = 0.5f;
    float tube = 0.25f;
    float height = 1.0f;
    int32_t segments[2] = {0, 0};  // 0: the shape's default
    bool caps = true;

    // Sweep: profile points (x across, y up in the section), path points, roll in degrees per path point
    // (empty: none; one value: all). A face's front is to the left of the profile's direction (x right,
    // y up): a profile from -x to +x faces up, a clockwise profile faces outwards.
    std::vector<D3DXVECTOR2> profile;
    bool profileClosed = false;
    std::vector<D3DXVECTOR3> path;
    std::vector<float> roll;
    bool closed = false;

    // Polygons: corners with their texture coordinates; faces list corner indices clockwise seen from the
    // front, fanned from the first.
    std::vector<D3DXVECTOR3> points;
    std::vector<D3DXVECTOR2> pointUvs;
    std::vector<std::vector<int32_t>> faces;

    // Loft: two or more sections, z rising; segments around each ring.
    std::vector<ContentLoftSection> sections;

    // A copy of another description's part ("copy=<dotted mesh description>:<part>"): its shape and values,
    // with this part's own placement, scale and subset. Resolved by the writer before generation.
    std::string copyMesh, copyPart;

    // Placement: scaled, then turned (yaw about y, pitch about x, roll about z, in degrees), then moved.
    D3DXVECTOR3 position = {0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 rotation = {0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 scale = {1.0f, 1.0f, 1.0f};
    D3DXVECTOR2 uvScale = {1.0f, 1.0f};
    // Smooth normals average the faces that meet at a corner within 60 degrees; flat ones do not.
    bool smooth = false;
    int32_t subset = 0;
    // Where the part was described (0: not from a text).
    int line = 0;
};

struct ContentMeshSubset
{
    static constexpr int32_t Presets = 30;
    int32_t id = 0;
    // Material names per preset; an empty one takes preset 0's.
    std::string materials[Presets];
    int line = 0;
};

struct ContentMeshDescription
{
    ContentUv1Mode uv1 = ContentUv1Mode::SameAsUv0;
    std::vector<ContentMeshPart> parts;
    std::vector<ContentMeshSubset> subsets;
    // The mesh file's seven properties, at the engine's defaults.
    uint8_t property1 = 0;
    int32_t property2 = 64;
    int32_t property3 = 0;
    int32_t property4 = 0;
    float property5 = 1.0f;
    float property6 = 5.0f;
    int32_t property7 = 2;
};

struct ContentMeshVertex
{
    D3DXVECTOR3 position = {0.0f, 0.0f, 0.0f};
    D3DXVECTOR3 normal = {0.0f, 1.0f, 0.0f};
    D3DXVECTOR2 uv0 = {0.0f, 0.0f};
    D3DXVECTOR2 uv1 = {0.0f, 0.0f};
};

struct ContentMeshFace
{
    uint32_t index[3] = {0, 0, 0};
    int32_t subset = 0;
};

// Triangles over shared vertices, clockwise seen from the front.
struct ContentMeshGeometry
{
    std::vector<ContentMeshVertex> vertices;
    std::vector<ContentMeshFace> faces;
};

#pragma once
#include <LinearMath/btMatrix3x3.h>
#include <LinearMath/btQuaternion.h>
#include <LinearMath/btTransform.h>
#include <LinearMath/btVector3.h>

#include "Platform/math/D3DXMATRIX.h"
#include "Platform/math/D3DXQUATERNION.h"
#include "Platform/math/D3DXVECTOR3.h"

// Conversions between the engine's convention (row vectors, v * M, position in the fourth row) and
// Bullet's (column vectors, B * v + origin). A rotation's rows here are the columns of Bullet's basis;
// a quaternion means the same rotation in both, component for component. No axis is flipped: Bullet
// has no handedness of its own, so left-handed data stays left-handed.

btVector3 ToBullet(const D3DXVECTOR3& v);
D3DXVECTOR3 FromBullet(const btVector3& v);

btQuaternion ToBullet(const D3DXQUATERNION& q);
D3DXQUATERNION FromBullet(const btQuaternion& q);

// The upper 3x3 of the matrix as a Bullet basis (transposed).
btMatrix3x3 ToBulletBasis(const D3DXMATRIX& m);
// The basis as the upper 3x3 of an otherwise identity matrix.
D3DXMATRIX FromBulletBasis(const btMatrix3x3& basis);

// A rigid pose: basis from the upper 3x3, origin from the fourth row. The fourth column is ignored.
btTransform ToBullet(const D3DXMATRIX& m);
D3DXMATRIX FromBullet(const btTransform& t);

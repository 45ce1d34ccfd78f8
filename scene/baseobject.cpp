// Scene tree nodes: ownership, frames, rotations and cached matrices.
#include "scene/baseobject.h"

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "scene/rendercontext.h"
#include "scene/scene.h"

namespace {

// A direction perpendicular to v, used when an up vector is parallel to the direction.
TAffineVector AnyPerpendicular(const TAffineVector& v) {
  TAffineVector a = std::fabs(v.y) < 0.9f ? TAffineVector(0, 1, 0) : TAffineVector(1, 0, 0);
  return VectorNormalize(glm::cross(v, glm::cross(a, v)));
}

TAffineVector RotateAroundAxis(const TAffineVector& v, const TAffineVector& axis, float radians) {
  // Rodrigues' formula, right-handed about the axis.
  float c = std::cos(radians), s = std::sin(radians);
  return v * c + glm::cross(axis, v) * s + axis * glm::dot(axis, v) * (1 - c);
}

}  // namespace

TGLBaseSceneObject::TGLBaseSceneObject()
    : Position(this, {0, 0, 0, 1}),
      Direction(this, {0, 0, 1, 0}),
      Up(this, {0, 1, 0, 0}),
      Scale(this, {1, 1, 1, 0}) {}

TGLBaseSceneObject::~TGLBaseSceneObject() {
  // Children go first, last to first, so none outlives its parent.
  while (!children_.empty()) children_.pop_back();
}

TGLBaseSceneObject* TGLBaseSceneObject::AdoptChild(std::unique_ptr<TGLBaseSceneObject> child) {
  TGLBaseSceneObject* raw = child.get();
  if (!raw || raw->parent_) return nullptr;
  raw->parent_ = this;
  children_.push_back(std::move(child));
  raw->InvalidateAbsolute();
  raw->SetSceneOf(Scene());
  return raw;
}

void TGLBaseSceneObject::Free() {
  // A parentless object belongs to whoever holds it; only the tree frees what it owns.
  if (!parent_) return;
  TGLScene* scene = Scene();
  std::unique_ptr<TGLBaseSceneObject> self = parent_->ExtractChild(this);
  if (scene && scene->Progressing()) scene->DeferFree(std::move(self));
}

std::unique_ptr<TGLBaseSceneObject> TGLBaseSceneObject::ExtractChild(TGLBaseSceneObject* child) {
  auto it = std::find_if(children_.begin(), children_.end(), [child](const auto& c) { return c.get() == child; });
  if (it == children_.end()) return nullptr;
  std::unique_ptr<TGLBaseSceneObject> owned = std::move(*it);
  children_.erase(it);
  owned->parent_ = nullptr;
  owned->InvalidateAbsolute();
  owned->SetSceneOf(nullptr);
  return owned;
}

void TGLBaseSceneObject::DeleteChildren() {
  while (!children_.empty()) children_.pop_back();
}

TGLBaseSceneObject* TGLBaseSceneObject::Children(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return children_[static_cast<size_t>(index)].get();
}

int TGLBaseSceneObject::Index() const {
  if (!parent_) return -1;
  const auto& siblings = parent_->children_;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

TGLScene* TGLBaseSceneObject::Scene() const {
  const TGLBaseSceneObject* o = this;
  while (o->parent_) o = o->parent_;
  return o->scene_;
}

void TGLBaseSceneObject::SetSceneOf(TGLScene*) {}

void TGLBaseSceneObject::CoordinatesChanged(const TGLCoordinates& which) {
  if (!normalising_ && (&which == &Direction || &which == &Up)) {
    // Keep the frame orthonormal: the vector just set wins, the other is corrected.
    normalising_ = true;
    TAffineVector d = Direction.AsAffineVector(), u = Up.AsAffineVector();
    if (&which == &Direction) {
      d = VectorNormalize(d);
      if (VectorLength(d) == 0) d = {0, 0, 1};
      TAffineVector right = glm::cross(u, d);
      if (VectorLength(right) < 1e-6f) u = AnyPerpendicular(d);
      else u = VectorNormalize(glm::cross(d, VectorNormalize(right)));
    } else {
      u = VectorNormalize(u);
      if (VectorLength(u) == 0) u = {0, 1, 0};
      TAffineVector right = glm::cross(u, d);
      if (VectorLength(right) < 1e-6f) d = AnyPerpendicular(u);
      else d = VectorNormalize(glm::cross(VectorNormalize(right), u));
    }
    Direction.SetSilently(TVector(d, 0));
    Up.SetSilently(TVector(u, 0));
    normalising_ = false;
  }
  localDirty_ = true;
  InvalidateAbsolute();
}

void TGLBaseSceneObject::InvalidateAbsolute() const {
  // A dirty node implies dirty descendants, so the walk can stop there.
  if (absoluteDirty_ && invDirty_) return;
  absoluteDirty_ = true;
  invDirty_ = true;
  for (const auto& c : children_) c->InvalidateAbsolute();
}

void TGLBaseSceneObject::SetFrame(const TAffineVector& dir, const TAffineVector& up) {
  normalising_ = true;
  Direction.SetSilently(TVector(VectorNormalize(dir), 0));
  Up.SetSilently(TVector(VectorNormalize(up), 0));
  normalising_ = false;
  localDirty_ = true;
  InvalidateAbsolute();
}

void TGLBaseSceneObject::RotateAbout(const TAffineVector& axis, float degrees) {
  float r = DegToRad(degrees);
  SetFrame(RotateAroundAxis(Direction.AsAffineVector(), axis, r), RotateAroundAxis(Up.AsAffineVector(), axis, r));
}

void TGLBaseSceneObject::Turn(float degrees) {
  RotateAbout(Up.AsAffineVector(), -degrees);
  turnAngle_ += degrees;
}

void TGLBaseSceneObject::Pitch(float degrees) {
  RotateAbout(RightVector(), degrees);
  pitchAngle_ += degrees;
}

void TGLBaseSceneObject::Roll(float degrees) {
  RotateAbout(Direction.AsAffineVector(), degrees);
  rollAngle_ += degrees;
}

void TGLBaseSceneObject::ResetRotations() {
  SetFrame(restDirection_, restUp_);
  turnAngle_ = pitchAngle_ = rollAngle_ = 0;
}

void TGLBaseSceneObject::ResetAndPitchTurnRoll(float pitch, float turn, float roll) {
  // Heading first, then elevation about the turned right axis, then roll: a gun's
  // yaw and pitch stay independent, as on a real mount.
  ResetRotations();
  Turn(turn);
  Pitch(pitch);
  Roll(roll);
}

void TGLBaseSceneObject::StoreRestOrientation() {
  restDirection_ = Direction.AsAffineVector();
  restUp_ = Up.AsAffineVector();
  turnAngle_ = pitchAngle_ = rollAngle_ = 0;
}

void TGLBaseSceneObject::Move(float distance) { Position.Translate(Direction.AsAffineVector() * distance); }

void TGLBaseSceneObject::Slide(float distance) {
  Position.Translate(glm::cross(Direction.AsAffineVector(), Up.AsAffineVector()) * distance);
}

void TGLBaseSceneObject::Lift(float distance) { Position.Translate(Up.AsAffineVector() * distance); }

void TGLBaseSceneObject::PointTo(const TGLBaseSceneObject& target, const TAffineVector& absoluteUp) {
  PointTo(target.AbsoluteAffinePosition(), absoluteUp);
}

void TGLBaseSceneObject::PointTo(const TAffineVector& absolutePoint, const TAffineVector& absoluteUp) {
  TAffineVector absDir = absolutePoint - AbsoluteAffinePosition();
  if (VectorLength(absDir) == 0) return;
  TAffineVector d = absDir, u = absoluteUp;
  if (parent_) {
    const TMatrix& inv = parent_->InvAbsoluteMatrix();
    d = AffineVectorTransform(absDir, inv);
    u = AffineVectorTransform(absoluteUp, inv);
  }
  d = VectorNormalize(d);
  TAffineVector right = glm::cross(u, d);
  u = VectorLength(right) < 1e-6f ? AnyPerpendicular(d) : VectorNormalize(glm::cross(d, VectorNormalize(right)));
  SetFrame(d, u);
}

TAffineVector TGLBaseSceneObject::RightVector() const {
  return VectorNormalize(glm::cross(Up.AsAffineVector(), Direction.AsAffineVector()));
}

const TMatrix& TGLBaseSceneObject::LocalMatrix() const {
  if (localDirty_) {
    TAffineVector d = Direction.AsAffineVector(), u = Up.AsAffineVector();
    TAffineVector r = VectorNormalize(glm::cross(u, d));
    TAffineVector s = Scale.AsAffineVector();
    local_ = TMatrix(TVector(r * s.x, 0), TVector(u * s.y, 0), TVector(d * s.z, 0),
                     TVector(Position.AsAffineVector(), 1));
    localDirty_ = false;
  }
  return local_;
}

const TMatrix& TGLBaseSceneObject::AbsoluteMatrix() const {
  if (absoluteDirty_) {
    absolute_ = parent_ ? parent_->AbsoluteMatrix() * LocalMatrix() : LocalMatrix();
    absoluteDirty_ = false;
  }
  return absolute_;
}

const TMatrix& TGLBaseSceneObject::InvAbsoluteMatrix() const {
  if (invDirty_) {
    invAbsolute_ = glm::inverse(AbsoluteMatrix());
    invDirty_ = false;
  }
  return invAbsolute_;
}

TVector TGLBaseSceneObject::AbsolutePosition() const { return AbsoluteMatrix()[3]; }
TAffineVector TGLBaseSceneObject::AbsoluteAffinePosition() const { return TAffineVector(AbsoluteMatrix()[3]); }

void TGLBaseSceneObject::SetAbsolutePosition(const TAffineVector& p) {
  TVector local = parent_ ? parent_->InvAbsoluteMatrix() * TVector(p, 1) : TVector(p, 1);
  Position.SetPoint(local.x, local.y, local.z);
}

TVector TGLBaseSceneObject::AbsoluteDirection() const { return VectorNormalize(TVector(AbsoluteMatrix()[2])); }
TVector TGLBaseSceneObject::AbsoluteUp() const { return VectorNormalize(TVector(AbsoluteMatrix()[1])); }
TVector TGLBaseSceneObject::AbsoluteRight() const { return VectorNormalize(TVector(AbsoluteMatrix()[0])); }

TVector TGLBaseSceneObject::AbsoluteToLocal(const TVector& v) const { return InvAbsoluteMatrix() * v; }
TVector TGLBaseSceneObject::LocalToAbsolute(const TVector& v) const { return AbsoluteMatrix() * v; }

bool TGLBaseSceneObject::PointInBox(const TAffineVector& absolutePoint) const {
  TVector l = AbsoluteToLocal(TVector(absolutePoint, 1));
  return std::fabs(l.x) <= 0.5f && std::fabs(l.y) <= 0.5f && std::fabs(l.z) <= 0.5f;
}

void TGLBaseSceneObject::DoProgress(double deltaTime, double newTime) {
  for (auto& b : Behaviours) b->DoProgress(*this, deltaTime, newTime);
  // Last to first, so a child may free itself from its own behaviour.
  for (int i = Count() - 1; i >= 0; --i) {
    if (i < Count()) children_[static_cast<size_t>(i)]->DoProgress(deltaTime, newTime);
  }
}

void TGLBaseSceneObject::BuildList(TRenderContext& rci) {
  if (!Visible) return;
  // An object wholly outside the view is left out; its children answer for themselves.
  TBoundingSphere bounds;
  if (!LocalBounds(bounds) || !rci.OutOfView(TransformSphere(bounds, AbsoluteMatrix()))) rci.Add(*this, RenderPass());
  for (const auto& c : children_) c->BuildList(rci);
}

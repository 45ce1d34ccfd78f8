// TGLCoordinates: a position, direction, up or scale vector of a scene object.
// Assigning the whole vector or one component tells the owning object, so cached
// matrices never go stale.
#pragma once

#include "scene/vectorgeometry.h"

class TGLCoordinatesOwner {
 public:
  virtual void CoordinatesChanged(const class TGLCoordinates& which) = 0;

 protected:
  ~TGLCoordinatesOwner() = default;
};

class TGLCoordinates {
 public:
  TGLCoordinates(TGLCoordinatesOwner* owner, const TVector& initial) : owner_(owner), v_(initial) {}
  TGLCoordinates(const TGLCoordinates&) = delete;
  TGLCoordinates& operator=(const TGLCoordinates&) = delete;

  float X() const { return v_.x; }
  float Y() const { return v_.y; }
  float Z() const { return v_.z; }
  float W() const { return v_.w; }
  const TVector& AsVector() const { return v_; }
  TAffineVector AsAffineVector() const { return TAffineVector(v_); }

  void SetX(float x) { v_.x = x; Notify(); }
  void SetY(float y) { v_.y = y; Notify(); }
  void SetZ(float z) { v_.z = z; Notify(); }
  // A point keeps w = 1, a vector w = 0.
  void SetPoint(float x, float y, float z) { v_ = {x, y, z, 1}; Notify(); }
  void SetVector(float x, float y, float z) { v_ = {x, y, z, 0}; Notify(); }
  void SetPoint(const TAffineVector& p) { SetPoint(p.x, p.y, p.z); }
  void SetVector(const TAffineVector& v) { SetVector(v.x, v.y, v.z); }
  void Assign(const TVector& v) { v_ = v; Notify(); }
  void Translate(const TAffineVector& d) { v_.x += d.x; v_.y += d.y; v_.z += d.z; Notify(); }

  // Used by the owner to store a corrected value without a second notification.
  void SetSilently(const TVector& v) { v_ = v; }

 private:
  void Notify() { if (owner_) owner_->CoordinatesChanged(*this); }

  TGLCoordinatesOwner* owner_;
  TVector v_;
};

// TGLBaseSceneObject: a node of the scene tree with its own frame (position, direction,
// up, scale) and owned children. Orientation conventions live in docs/scene-conventions.md.
// Nothing here touches OpenGL, so the world and its units run headless.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scene/bounds.h"
#include "scene/coordinates.h"

class TGLScene;
class TGLBaseSceneObject;
struct TRenderContext;

enum TGLObjectsSorting { osInherited, osNone, osRenderBlendedLast, osRenderFarthestFirst };
enum TGLVisibilityCulling { vcInherited, vcNone, vcObjectBased };

// What a node contributes when the viewer walks the tree.
enum class TRenderPass { None, Opaque, Blended, Direct, HUD };

class TGLBehaviour {
 public:
  virtual ~TGLBehaviour() = default;
  virtual void DoProgress(TGLBaseSceneObject& owner, double deltaTime, double newTime) = 0;
};

class TGLBaseSceneObject : private TGLCoordinatesOwner {
 public:
  TGLBaseSceneObject();
  virtual ~TGLBaseSceneObject();
  TGLBaseSceneObject(const TGLBaseSceneObject&) = delete;
  TGLBaseSceneObject& operator=(const TGLBaseSceneObject&) = delete;

  // Creates a child of type T owned by this object and returns it.
  template <class T, class... Args>
  T* AddNewChild(Args&&... args) {
    auto child = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = child.get();
    AdoptChild(std::move(child));
    return raw;
  }
  // Takes ownership of an object created elsewhere (it must have no parent).
  TGLBaseSceneObject* AdoptChild(std::unique_ptr<TGLBaseSceneObject> child);
  // Frees this object and its children; it is removed from its parent first.
  void Free();
  // Detaches a child and hands its ownership to the caller.
  std::unique_ptr<TGLBaseSceneObject> ExtractChild(TGLBaseSceneObject* child);
  void DeleteChildren();

  TGLBaseSceneObject* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TGLBaseSceneObject* Children(int index) const;
  int Index() const;  // own index in the parent, -1 for a root
  TGLScene* Scene() const;

  // Local frame.
  TGLCoordinates Position;
  // Direction and Up are renormalised against each other at every assignment: assign them
  // as whole vectors (SetVector), not one component after another.
  TGLCoordinates Direction;  // local +Z, kept unit length and perpendicular to Up
  TGLCoordinates Up;         // local +Y
  TGLCoordinates Scale;

  bool Visible = true;
  bool ShowAxes = false;
  TGLObjectsSorting ObjectsSorting = osInherited;
  int Tag = 0;
  std::string Name;
  std::vector<std::unique_ptr<TGLBehaviour>> Behaviours;

  // Angles in degrees: the sum of the turns, pitches and rolls applied since the last reset.
  float TurnAngle() const { return turnAngle_; }
  float PitchAngle() const { return pitchAngle_; }
  float RollAngle() const { return rollAngle_; }
  void SetTurnAngle(float degrees) { Turn(degrees - turnAngle_); }
  void SetPitchAngle(float degrees) { Pitch(degrees - pitchAngle_); }
  void SetRollAngle(float degrees) { Roll(degrees - rollAngle_); }

  // A positive turn takes Direction toward -X (clockwise seen from above).
  void Turn(float degrees);
  // A positive pitch lowers the nose: Direction toward -Up.
  void Pitch(float degrees);
  // A positive roll raises the object's +X side.
  void Roll(float degrees);
  // Back to the rest orientation (identity unless StoreRestOrientation was called) and zero angles.
  void ResetRotations();
  // Reset, then turn, then pitch about the turned right axis, then roll about the new Direction.
  void ResetAndPitchTurnRoll(float pitch, float turn, float roll);
  // Makes the current orientation the one ResetRotations returns to (rig set-up turns).
  void StoreRestOrientation();

  void Move(float distance);   // along Direction
  void Slide(float distance);  // along Direction x Up, i.e. toward local -X
  void Lift(float distance);   // along Up
  // Points Direction at the target's absolute position, with the given absolute up vector.
  void PointTo(const TGLBaseSceneObject& target, const TAffineVector& absoluteUp);
  void PointTo(const TAffineVector& absolutePoint, const TAffineVector& absoluteUp);

  // Local axis +X (Up x Direction): the axis the game's aiming loops call "right".
  TAffineVector RightVector() const;

  const TMatrix& LocalMatrix() const;
  const TMatrix& AbsoluteMatrix() const;
  const TMatrix& InvAbsoluteMatrix() const;
  TVector AbsolutePosition() const;
  TAffineVector AbsoluteAffinePosition() const;
  void SetAbsolutePosition(const TAffineVector& p);
  TVector AbsoluteDirection() const;  // normalised, w = 0
  TVector AbsoluteUp() const;         // normalised, w = 0
  TVector AbsoluteRight() const;      // normalised local +X, w = 0
  TVector AbsoluteToLocal(const TVector& v) const;
  TVector LocalToAbsolute(const TVector& v) const;
  // True when the absolute point lies in this node's unit cube scaled by Scale, centred on it.
  bool PointInBox(const TAffineVector& absolutePoint) const;

  // Advances behaviours, then children; the scene calls it once a frame.
  virtual void DoProgress(double deltaTime, double newTime);

  // Rendering hooks used by the viewer.
  virtual TRenderPass RenderPass() const { return TRenderPass::None; }
  virtual void BuildList(TRenderContext& rci);
  // Draws this object with its material, the modelview already holding its absolute frame.
  // Ignores Visible, so a proxy can draw a hidden master.
  virtual void Render(TRenderContext&) {}
  // The sphere, in local units, holding everything Render draws of this object (children
  // not included); false when unknown, and then the viewer never culls the object.
  virtual bool LocalBounds(TBoundingSphere&) const { return false; }
  // Whether the viewer's picking may answer this object.
  virtual bool Pickable() const { return RenderPass() == TRenderPass::Opaque || RenderPass() == TRenderPass::Blended; }

 protected:
  virtual void SetSceneOf(TGLScene* scene);

 private:
  void CoordinatesChanged(const TGLCoordinates& which) override;
  void InvalidateAbsolute() const;
  void RotateAbout(const TAffineVector& axis, float degrees);
  void SetFrame(const TAffineVector& dir, const TAffineVector& up);

  TGLBaseSceneObject* parent_ = nullptr;
  TGLScene* scene_ = nullptr;  // set on the scene's root only
  std::vector<std::unique_ptr<TGLBaseSceneObject>> children_;
  float turnAngle_ = 0, pitchAngle_ = 0, rollAngle_ = 0;
  TAffineVector restDirection_{0, 0, 1}, restUp_{0, 1, 0};
  bool normalising_ = false;

  mutable TMatrix local_{1.0f}, absolute_{1.0f}, invAbsolute_{1.0f};
  mutable bool localDirty_ = true, absoluteDirty_ = true, invDirty_ = true;

  friend class TGLScene;
};

// Invisible grouping node; its box is the unit cube scaled by Scale, centred on Position.
class TGLDummyCube : public TGLBaseSceneObject {
 public:
  TGLVisibilityCulling VisibilityCulling = vcInherited;
  float CubeSize = 1;
};

#pragma once

#include "model/transition_setting.h"

namespace velmora {

// One class per transition kind. Each knows its parameters' markup names,
// ranges, defaults and random draws (see transition_kinds.cpp) and names its
// parameters for the renderers, which read them only through these
// accessors: what each number means is stated here once. makeTransition
// gives every kind its own class, so a setting's kind names its class. A
// new object holds the kind's defaults.

class AlphaTransition final : public TransitionSetting {
  public:
    AlphaTransition();
    int mode() const { return firstParameter(); }  // 0 cross-fade, 1 via white, 2 via black
};

class AccordionTransition final : public TransitionSetting {
  public:
    AccordionTransition();
    int direction() const { return firstParameter(); }  // 0 left to right, 1 right to left
};

class BlindsTransition final : public TransitionSetting {
  public:
    BlindsTransition();
    int direction() const { return firstParameter(); }    // 0 left to right, 1 right to left
    int blindCount() const { return secondParameter(); }  // 4..10
};

class CircleTransition final : public TransitionSetting {
  public:
    CircleTransition();
    int direction() const { return firstParameter(); }   // 0 small to big, 1 big to small
    int edgeWidth() const { return secondParameter(); }  // 1..80
};

class ClockTransition final : public TransitionSetting {
  public:
    ClockTransition();
    int fingerChoice() const { return firstParameter(); }  // 0: 1 finger, 1: 2, 2: 4
    bool smooth() const { return secondParameter() != 0; }
};

class CubeFlyTransition final : public TransitionSetting {
  public:
    CubeFlyTransition();
    // 0 bottom to up, 1 up to bottom, 2 left to right, 3 right to left
    int direction() const { return firstParameter(); }
};

class DiagonalSweepTransition final : public TransitionSetting {
  public:
    DiagonalSweepTransition();
    int direction() const { return firstParameter(); }   // 0 left to right, 1 right to left
    int edgeWidth() const { return secondParameter(); }  // 1..80
};

class DoorTransition final : public TransitionSetting {
  public:
    DoorTransition();
    bool closing() const { return firstParameter() != 0; }  // 0 open door, 1 close door
};

class FlipTransition final : public TransitionSetting {
  public:
    FlipTransition();
    bool horizontal() const { return firstParameter() != 0; }  // 0 vertical, 1 horizontal
};

class FlyTransition final : public TransitionSetting {
  public:
    FlyTransition();
    bool flyOut() const { return firstParameter() != 0; }  // 0 fly in, 1 fly out
};

class PolygonTransition final : public TransitionSetting {
  public:
    PolygonTransition();
    int cornerCount() const { return firstParameter(); }    // 3..9
    bool flyOut() const { return secondParameter() != 0; }  // 0 fly in, 1 fly out
};

class RotateInTransition final : public TransitionSetting {
  public:
    RotateInTransition();
    bool anticlockwise() const { return firstParameter() != 0; }
};

class ShutterTransition final : public TransitionSetting {
  public:
    ShutterTransition();
    bool horizontal() const { return firstParameter() != 0; }  // 0 vertical, 1 horizontal
    int width() const { return secondParameter(); }            // 1..80
};

class SpinTransition final : public TransitionSetting {
  public:
    SpinTransition();
    bool anticlockwise() const { return firstParameter() != 0; }
};

class SweepTransition final : public TransitionSetting {
  public:
    SweepTransition();
    // 0 left to right, 1 right to left, 2 bottom to up, 3 up to bottom
    int direction() const { return firstParameter(); }
    int edgeWidth() const { return secondParameter(); }  // 1..80
};

class TwistTransition final : public TransitionSetting {
  public:
    TwistTransition();
    int direction() const { return firstParameter(); }  // 0 left to right, 1 right to left
};

class WipeTransition final : public TransitionSetting {
  public:
    WipeTransition();
    // 0 left to right, 1 right to left, 2 bottom to up, 3 up to bottom
    int direction() const { return firstParameter(); }
    bool push() const { return secondParameter() != 0; }
};

class ZoomTransition final : public TransitionSetting {
  public:
    ZoomTransition();
    bool zoomOut() const { return firstParameter() != 0; }  // 0 zoom in, 1 zoom out
};

// The catalogue's Random entry: no parameters and no dialog. Applying it to a
// picture gives the picture a concrete kind (see cloneTransition).
class RandomTransition final : public TransitionSetting {
  public:
    RandomTransition();
};

}  // namespace velmora

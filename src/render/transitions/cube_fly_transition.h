#pragma once

namespace velmora {

class RenderContext;
class CubeFlyTransition;

// Cube fly: the two pictures are two faces of a cube that turns by a
// quarter while it first recedes and then comes back.
class CubeFlyGeometry {
  public:
    // An edge across the direction of motion: its place along the motion
    // and its two ends along the edge.
    struct Edge {
        float at = 0;
        float low = 0, high = 0;
        float length() const { return high - low; }
    };

    // direction: 0 bottom to up, 1 up to bottom, 2 left to right, 3 right
    // to left.
    CubeFlyGeometry(int canvasWidth, int canvasHeight, int frames, int direction);
    void step(int k);  // to transition frame k

    bool vertical() const { return direction_ < 2; }  // rows move up or down
    int direction() const { return direction_; }
    const Edge& first() const { return e_; }   // E
    const Edge& shared() const { return s_; }  // S
    const Edge& last() const { return g_; }    // G
    // The old face lies between E and S for directions 0 and 3, between S
    // and G for 1 and 2; each face's far edge is the one opposite S.
    bool oldFaceAtFirst() const { return direction_ == 0 || direction_ == 3; }
    const Edge& oldFar() const { return oldFaceAtFirst() ? e_ : g_; }
    const Edge& newFar() const { return oldFaceAtFirst() ? g_ : e_; }
    // The old face is drawn while its far edge is short of S.
    bool oldFaceExists() const;
    int phaseOneFrames() const { return p1_; }

  private:
    int direction_;
    int p1_ = 0, p2_ = 0;
    float L_ = 0, M_ = 0;  // the frame along and across the edges
    float T_ = 0;
    Edge e_, s_, g_;
};

int runCubeFlyTransition(RenderContext& context, const CubeFlyTransition& setting);

}  // namespace velmora

#pragma once

#include <QPainterPath>
#include <QPointF>

namespace velmora {

class RenderContext;

// Diagonal sweep: a soft edge slanted along the frame's diagonal sweeps
// across the frame, dissolving the old picture behind it.
class DiagonalSweepGeometry {
  public:
    DiagonalSweepGeometry(int canvasWidth, int canvasHeight, int frames, bool rightToLeft,
                          int edgeWidth);

    int subSteps() const { return subSteps_; }
    float fade() const { return fade_; }
    float stepPerSubStep() const { return s_; }
    void subStep();
    // The quadrilateral Q1 → Q2 → Q3 → Q4 between the fixed slanted line
    // and the moving one.
    QPainterPath region() const;
    QPointF movingTop() const { return q1_; }

  private:
    QPointF q1_, q2_, q3_, q4_;
    float s_ = 0;
    int subSteps_ = 1;
    float fade_ = 0;
};

int runDiagonalSweepTransition(RenderContext& context);

}  // namespace velmora

// The one step every beacon walk is made of: from a cell of a step-count field to its lowest
// 4-neighbour. Shared by the unit beacons' windows and the whole-map fields so that their
// walks agree on ties and on where they stop.
#pragma once

#include "world/grid.h"

struct TTRVDescentStep {
  TTRVCell cell;       // where the step ends; the start cell when no neighbour is lower
  bool ended = false;  // no lower neighbour, a blocked value reached, or a blocked neighbour beside the start
};

// Among the neighbours (x - 1), (x + 1), (z - 1), (z + 1), the one with the lowest value
// strictly below the start's; the earlier wins a tie. `valueAt` must answer `blocked` for
// every cell it does not hold, so the step never leaves the field.
template <class ValueAt>
TTRVDescentStep DescentStep(TTRVCell c, ValueAt&& valueAt, int blocked) {
  const TTRVCell around[4] = {{c.x - 1, c.z}, {c.x + 1, c.z}, {c.x, c.z - 1}, {c.x, c.z + 1}};
  TTRVDescentStep step{c, false};
  int best = static_cast<int>(valueAt(c));
  bool besideBlocked = false;
  for (const TTRVCell& n : around) {
    const int v = static_cast<int>(valueAt(n));
    if (v == blocked) besideBlocked = true;
    if (v < best) {
      best = v;
      step.cell = n;
    }
  }
  // A unit that hugs an obstacle goes no further along the field: the next cell down may
  // lie round a corner it cannot cut.
  step.ended = step.cell == c || best == blocked || besideBlocked;
  return step;
}

// Up to maxSteps descent steps from c; the cell where the walk ended.
template <class ValueAt>
TTRVCell Descend(TTRVCell c, int maxSteps, ValueAt&& valueAt, int blocked) {
  for (int i = 0; i < maxSteps; ++i) {
    const TTRVDescentStep step = DescentStep(c, valueAt, blocked);
    c = step.cell;
    if (step.ended) break;
  }
  return c;
}
